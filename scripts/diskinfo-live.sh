#!/usr/bin/env bash
# Checks the disk information against real mounts made for the purpose: a
# mount moved over another, a tree unmounted lazily while a process still
# works in it, a share whose server never answers; then measures a query of a
# loop-mounted volume that has to be probed. Needs root and the right to
# mount; it runs in a mount namespace of its own, so no mount outlives it,
# and still takes down each mount by name. Not part of the test suite.
#
#   scripts/diskinfo-live.sh [build directory]
set -euo pipefail

if [[ $(id -u) -ne 0 ]]; then
  echo "skipped: needs root"
  exit 0
fi
if [[ -z "${DISKINFO_LIVE_INSIDE:-}" ]]; then
  if ! unshare -m --propagation private true 2>/dev/null; then
    echo "skipped: no mount namespace"
    exit 0
  fi
  DISKINFO_LIVE_INSIDE=1 exec unshare -m --propagation private "$0" "$@"
fi

build=$(realpath "${1:-build}")
# A sanitizer build's leak check stops every thread at exit, and a thread
# stuck on the share never stops: the program would never end.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
demo=$build/tools/diskinfo_demo
bench=$build/bench/bench_diskinfo
work=$(mktemp -d /tmp/diskinfo-live.XXXXXX)
worker=""
holder=""
failures=0

cleanup() {
  set +e
  [[ -n $worker ]] && kill "$worker" 2>/dev/null
  # The holder going closes the FUSE connection: whatever waits on it fails.
  exec 9>&- 2>/dev/null
  [[ -n $holder ]] && wait "$holder" 2>/dev/null
  for point in "$work/bench" "$work/hung" "$work/m/dst/q" "$work/m/dst" "$work/m/src"; do
    mountpoint -q "$point" 2>/dev/null && umount -l "$point"
  done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

check() {  # what, then the command that must succeed
  local what=$1
  shift
  if "$@"; then echo "ok:   $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}

row() {  # the demo's row for a path
  "$demo" "$1" | sed -n 2p
}

truncate -s 16M "$work/caja.img"
mkfs.ext4 -q -F -L CAJA "$work/caja.img"
mkdir -p "$work/m/src" "$work/m/dst/q" "$work/hung" "$work/bench"

# A tmpfs made first, an ext4 volume mounted at m/dst/q after it, then the
# tmpfs moved onto m/dst: the table lists the tmpfs first, yet it is on top.
mount -t tmpfs -o size=1m encima "$work/m/src"
mkdir "$work/m/src/q"
mount -o loop "$work/caja.img" "$work/m/dst/q"
mount --move "$work/m/src" "$work/m/dst"
line=$(row "$work/m/dst/q")
echo "      $line"
check "a path under a moved mount lies on it" grep -q "Disco de RAM *tmpfs" <<<"$line"
check "the size is the tmpfs's" grep -q " 1048576 " <<<"$line"
check "the hidden mount is not listed" bash -c "! '$demo' | grep -q '$work/m/dst/q'"
umount "$work/m/dst"

# A process works inside the ext4 volume, which is then unmounted lazily.
mkdir "$work/m/dst/q/dentro"
(cd "$work/m/dst/q/dentro" && exec sleep 600) &
worker=$!
umount -l "$work/m/dst/q"
line=$(row "/proc/$worker/cwd")
echo "      $line"
check "a detached tree is its own volume" grep -q "Disco duro *ext4 *CAJA" <<<"$line"
size=$(awk '{print $(NF-1)}' <<<"$line")
expected=$(stat -f -L -c '%b*%S' "/proc/$worker/cwd" | bc)
check "its size is its own ($expected)" test "$size" = "$expected"
kill "$worker"
wait "$worker" 2>/dev/null || true
worker=""

# A share whose server never answers: a FUSE mount nobody serves.
mkfifo "$work/hold"
cat >"$work/hang.py" <<'PY'
import ctypes, os, sys
fd = os.open("/dev/fuse", os.O_RDWR)
libc = ctypes.CDLL(None, use_errno=True)
options = f"fd={fd},rootmode=40000,user_id=0,group_id=0".encode()
if libc.mount(b"servidor:/compartido", sys.argv[1].encode(), b"fuse.sshfs", 0, options) != 0:
    sys.exit("mount: " + os.strerror(ctypes.get_errno()))
print("ready", flush=True)
sys.stdin.read()
PY
python3 "$work/hang.py" "$work/hung" <"$work/hold" >"$work/hung.out" &
holder=$!
exec 9>"$work/hold"
for _ in $(seq 100); do grep -q ready "$work/hung.out" 2>/dev/null && break; sleep 0.1; done
start=$(date +%s%N)
listing=$(timeout -k 5 30 "$demo") || echo "the listing did not end: status $?"
took=$(( ($(date +%s%N) - start) / 1000000 ))
echo "$listing" | sed 's/^/      /'
check "the listing ends after one wait (${took} ms)" test "$took" -lt 10000
check "the share is listed with unknown sizes" grep -q "$work/hung *Disco remoto *fuse.sshfs .*? *?$" <<<"$listing"
check "the other volumes have their sizes" grep -q "^/ .*[0-9]$" <<<"$listing"
check "statvfs of the share hangs" bash -c "timeout 3 stat -f '$work/hung' >/dev/null 2>&1; test \$? -eq 124"
umount -l "$work/hung"
exec 9>&-
wait "$holder" 2>/dev/null || true
holder=""

# A query of a volume udev knows nothing of probes it, once per mounting.
mount -o loop "$work/caja.img" "$work/bench"
if [[ -x $bench ]]; then
  TILVO_BENCH_VOLUME=$work/bench nice -n 10 "$bench" --benchmark_filter='Probed|Root' \
    --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
fi
umount "$work/bench"

echo "$failures failure(s)"
exit $((failures > 0))
