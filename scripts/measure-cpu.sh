#!/usr/bin/env bash
# Measures the CPU that the running stopwatch costs, the display server
# included: the program under Xvfb at 1920 x 1080, started with the E key,
# sampled over SECONDS seconds; then the same for the variant that repaints
# the whole window at every change. Needs a build in $BUILD (default build).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
SECONDS_RUN=${SECONDS_RUN:-10}
DISPLAY_NUM=${DISPLAY_NUM:-57}
command -v xdotool >/dev/null || { echo "installing xdotool"; apt-get install -y -qq xdotool >/dev/null; }

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)

measure() {
  local program=$1 label=$2
  local dir; dir=$(mktemp -d)
  Xvfb ":$DISPLAY_NUM" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
  local xpid=$!
  sleep 1
  (cd "$dir" && DISPLAY=":$DISPLAY_NUM" exec "$OLDPWD/$program") >/dev/null 2>&1 &
  local ppid=$!
  sleep 2
  DISPLAY=":$DISPLAY_NUM" xdotool key e
  sleep 1
  local p0 x0 p1 x1
  p0=$(ticks $ppid); x0=$(ticks $xpid)
  sleep "$SECONDS_RUN"
  p1=$(ticks $ppid); x1=$(ticks $xpid)
  kill $ppid $xpid 2>/dev/null || true
  wait $ppid $xpid 2>/dev/null || true
  rm -rf "$dir"
  awk -v l="$label" -v p=$((p1 - p0)) -v x=$((x1 - x0)) -v hz="$hz" -v s="$SECONDS_RUN" \
    'BEGIN { printf "%-28s program %5.1f%%  display server %5.1f%%  together %5.1f%% of one core\n", l, 100*p/hz/s, 100*x/hz/s, 100*(p+x)/hz/s }'
}

measure "$BUILD/windows/tilvo" "changed parts, once a frame"
measure "$BUILD/bench/tilvo_whole_updates" "whole window at every change"
