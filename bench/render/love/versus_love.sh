#!/usr/bin/env bash
# Our sprite scene against the same scene on the peer engine, in one run:
# each case alternates ours and theirs RUNS times, keeps the best mean frame
# time of each, and prints ours/theirs. Peak memory is the 2000-sprite case's.
# ours_main_ms is our main thread's CPU time a frame (the rest of a frame is
# the driver's rasteriser threads). Both draw straight to the window.
# love_cnv_ms is the peer drawing the scene into a canvas it then draws to
# the window, the way our screen reaches a window it is letterboxed into
# (kept in a surface of its own, copied out at present); its ratio is ours
# over that.
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

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores; runs $runs x $frames frames"
printf '%-8s %-6s %10s %10s %7s %10s %7s %10s %10s %12s\n' sprites text ours_ms love_ms ratio love_cnv_ms ratio ours_MB love_MB ours_main_ms
for sprites in 500 2000; do
  for text in 0 20; do
    our_times=() their_times=() canvas_times=() our_peaks=() their_peaks=() our_mains=()
    for ((r = 0; r < runs; ++r)); do
      out=$("$ours" "$sprites" "$text" "$frames" 2>/dev/null)
      our_times+=("$(field frame_ms <<<"$out")"); our_peaks+=("$(field peak_kb <<<"$out")")
      our_mains+=("$(field main_cpu_ms <<<"$out")")
      out=$(love "$here" "$sprites" "$text" "$frames" 2>/dev/null)
      their_times+=("$(field frame_ms <<<"$out")"); their_peaks+=("$(field peak_kb <<<"$out")")
      out=$(love "$here" "$sprites" "$text" "$frames" canvas 2>/dev/null)
      canvas_times+=("$(field frame_ms <<<"$out")")
    done
    a=$(printf '%s\n' "${our_times[@]}" | best); b=$(printf '%s\n' "${their_times[@]}" | best)
    c=$(printf '%s\n' "${canvas_times[@]}" | best)
    pa=$(printf '%s\n' "${our_peaks[@]}" | best); pb=$(printf '%s\n' "${their_peaks[@]}" | best)
    m=$(printf '%s\n' "${our_mains[@]}" | best)
    awk -v s="$sprites" -v t="$text" -v a="$a" -v b="$b" -v c="$c" -v pa="$pa" -v pb="$pb" -v m="$m" 'BEGIN {
      printf "%-8s %-6s %10.3f %10.3f %7.3f %10.3f %7.3f %10.1f %10.1f %12.3f\n", s, t, a, b, a / b, c, a / c, pa / 1024, pb / 1024, m }'
  done
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
