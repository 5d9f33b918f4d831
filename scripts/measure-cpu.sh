#!/usr/bin/env bash
# Measures the CPU that the running stopwatch costs, the display server
# included: the program under Xvfb at 1920 x 1080, started with the E key,
# sampled over SECONDS_RUN seconds; then the same for the variant that
# repaints the whole window at every change. Needs a build in $BUILD
# (default build; a relative path is taken from where the script is called,
# or else from the checkout). SETTINGS names a tilvo.ini to start with.
# Whatever the script starts is stopped when it ends, however it ends.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD:-build}
if [[ $BUILD != /* ]]; then
  if [[ -d $BUILD ]]; then BUILD=$(cd "$BUILD" && pwd); else BUILD=$root/$BUILD; fi
fi
SECONDS_RUN=${SECONDS_RUN:-10}
SETTINGS=${SETTINGS:-}
[[ -z $SETTINGS ]] || SETTINGS=$(realpath "$SETTINGS")
command -v xdotool >/dev/null || { echo "installing xdotool"; apt-get install -y -qq xdotool >/dev/null; }

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)

pids=()
dirs=()
cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  pids=()
  for p in "${dirs[@]}"; do rm -rf "$p"; done
  dirs=()
}
trap cleanup EXIT INT TERM

measure() {
  local program=$1 label=$2
  [[ -x $program ]] || { echo "$program is not built" >&2; exit 1; }
  local dir; dir=$(mktemp -d)
  dirs+=("$dir")
  [[ -z $SETTINGS ]] || cp "$SETTINGS" "$dir/tilvo.ini"
  # Xvfb picks a free display and tells its number.
  Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$dir/display" >/dev/null 2>&1 &
  local xpid=$!
  pids+=("$xpid")
  local i
  for i in $(seq 50); do [[ -s $dir/display ]] && break; sleep 0.1; done
  [[ -s $dir/display ]] || { echo "Xvfb did not start" >&2; exit 1; }
  local display=":$(head -n1 "$dir/display")"
  (cd "$dir" && DISPLAY=$display exec "$program") >/dev/null 2>&1 &
  local ppid=$!
  pids+=("$ppid")
  sleep 2
  DISPLAY=$display xdotool key e
  sleep 1
  local p0 x0 p1 x1
  p0=$(ticks "$ppid"); x0=$(ticks "$xpid")
  sleep "$SECONDS_RUN"
  p1=$(ticks "$ppid"); x1=$(ticks "$xpid")
  cleanup
  awk -v l="$label" -v p=$((p1 - p0)) -v x=$((x1 - x0)) -v hz="$hz" -v s="$SECONDS_RUN" \
    'BEGIN { printf "%-28s program %5.1f%%  display server %5.1f%%  together %5.1f%% of one core\n", l, 100*p/hz/s, 100*x/hz/s, 100*(p+x)/hz/s }'
}

measure "$BUILD/windows/tilvo" "changed parts, once a frame"
measure "$BUILD/bench/tilvo_whole_updates" "whole window at every change"
