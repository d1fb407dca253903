#!/usr/bin/env bash
# Our sprite scene against the same scene on the peer engine, in one run:
# each case alternates ours and theirs RUNS times, keeps the best mean frame
# time of each, and prints ours/theirs. Each comparison draws the same work
# on both sides, and says which:
#   still/whole   the same frame over and over, every frame drawn whole on
#                 both sides (our partial redraw off): what a player with a
#                 GPU gets, whose flipping swap has every frame drawn whole.
#   moving        every sprite moves and turns each frame on both sides; ours
#                 records the frame, compares it and draws where it changed,
#                 which is nearly everywhere.
#   whole/canvas  ours drawn whole against the peer drawing the scene into a
#                 canvas it then draws to the window: the work our frames do
#                 when the screen is letterboxed into a window of another size.
#   still/partial the still scene with our partial redraw on. Where the window
#                 keeps its pixels across swaps (software GL on X), ours draws
#                 only where the frame changed, which is nowhere, against the
#                 peer's whole frames: NOT the same work, kept beside the
#                 others as what such a machine gives for a still screen.
# ours_main_ms is our main thread's CPU time a frame (the rest of a frame is
# the driver's rasteriser threads); frames says how our timed frames were
# drawn (where they changed / whole) and redrawn_kpx the pixels redrawn a
# frame. Peak memory is each case's. Both draw straight to the window.
# Pin it (taskset -c ...) on a shared machine: the run prints the cores it
# was given and the load before and after.
#   bench/render/love/versus_love.sh BUILD_DIR [RUNS] [FRAMES]
# Without a display it starts itself again under xvfb-run.
set -euo pipefail
build=${1:?usage: versus_love.sh BUILD_DIR [RUNS] [FRAMES]}
runs=${2:-5}
frames=${3:-120}
here=$(dirname "$(readlink -f "$0")")
ours=$(readlink -f "$build")/bench/render/sprite_scene
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
command -v love >/dev/null || { echo "the peer engine is not installed: apt-get install love" >&2; exit 1; }
[ -x "$ours" ] || { echo "build sprite_scene first: cmake --build $build --target sprite_scene" >&2; exit 1; }

field() { awk -v k="$1" '$1 == k { print $2 }'; }
best() { sort -g | head -1; }

# Each run of one program in one case adds its figures under a key; a row
# takes the best frame time, main-thread time and peak memory of the key's
# runs, and the last run's count of frames drawn in part and whole.
declare -A times peaks mains partials wholes redrawn
run_ours() {  # key mode
  local out
  out=$("$ours" "$sprites" "$text" "$frames" "$2" 2>/dev/null)
  times[$1]+="$(field frame_ms <<<"$out") "; peaks[$1]+="$(field peak_kb <<<"$out") "
  mains[$1]+="$(field main_cpu_ms <<<"$out") "
  partials[$1]=$(field frames_partial <<<"$out"); wholes[$1]=$(field frames_whole <<<"$out")
  redrawn[$1]=$(field redrawn_kpixels <<<"$out")
}
run_theirs() {  # key [canvas] [moving]
  local key=$1 out
  shift
  out=$(love "$here" "$sprites" "$text" "$frames" "$@" 2>/dev/null)
  times[$key]+="$(field frame_ms <<<"$out") "; peaks[$key]+="$(field peak_kb <<<"$out") "
}
# One line of the table: a comparison, our case's key and the peer's.
row() {
  awk -v s="$sprites" -v t="$text" -v what="$1" -v a="$(bestof "${times[$2]}")" \
      -v b="$(bestof "${times[$3]}")" -v m="$(bestof "${mains[$2]}")" \
      -v f="${partials[$2]}/${wholes[$2]}" -v px="${redrawn[$2]}" \
      -v pa="$(bestof "${peaks[$2]}")" -v pb="$(bestof "${peaks[$3]}")" 'BEGIN {
    printf "%-7s %-4s %-13s %8.3f %8.3f %6.3f %12.3f %9s %11.1f %7.1f %7.1f\n",
           s, t, what, a, b, a / b, m, f, px, pa / 1024, pb / 1024 }'
}
bestof() { tr ' ' '\n' <<<"${1% }" | best; }

echo "cores $(awk '/Cpus_allowed_list/ { print $2 }' /proc/self/status) of $(nproc --all); load before: $(cut -d' ' -f1-3 /proc/loadavg); runs $runs x $frames frames, best of each"
printf '%-7s %-4s %-13s %8s %8s %6s %12s %9s %11s %7s %7s\n' \
  sprites text comparison ours_ms love_ms ratio ours_main_ms frames redrawn_kpx ours_MB love_MB
for sprites in 500 2000; do
  for text in 0 20; do
    times=() peaks=() mains=() partials=() wholes=() redrawn=()
    for ((r = 0; r < runs; ++r)); do
      run_ours still still
      run_theirs straight
      run_ours whole whole
      run_ours moving moving
      run_theirs straight_moving moving
      run_theirs canvas canvas
    done
    row still/whole whole straight
    row moving moving straight_moving
    row whole/canvas whole canvas
    row still/partial still straight
  done
done
echo "frames: our timed frames drawn where they changed / drawn whole"
echo "still/partial is not the same work on both sides (ours redraws only what changed); the other rows are"
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
