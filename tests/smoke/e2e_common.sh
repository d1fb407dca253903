# What the end-to-end scripts share (sourced): a scratch folder, the program's
# log, its process id, and failing with the log shown.
work=$(mktemp -d)
pid=
cleanup() {
  if [[ -n "$pid" ]] && kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

log=$work/log
fail() {
  echo "FAIL: $*" >&2
  echo "---- program log:" >&2
  cat "$log" >&2 || true
  exit 1
}

# Waits up to 15 s for a line matching the pattern (grep -E) in the log.
wait_for() {
  for _ in $(seq 150); do
    grep -qE -- "$1" "$log" && return 0
    kill -0 "$pid" 2>/dev/null || fail "the program ended while waiting for: $1"
    sleep 0.1
  done
  fail "no line matching: $1"
}
