#!/usr/bin/env bash
# The library as a user gets it, from a build folder (default: build):
# installed into a temporary prefix by a normal user, the three examples
# built against it with find_package(Pelmora) and run once off screen (each
# checks what it drew), then the Debian packages built and listed.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
arch=$(gcc -print-multiarch)

# Root stands in for a normal user who cannot write to /usr.
as_user=()
if [[ $(id -u) -eq 0 ]]; then
  chown nobody:nogroup "$work"
  # The one file cmake --install writes into the build folder: its list of
  # what it installed.
  touch "$build/install_manifest.txt"
  chown nobody:nogroup "$build/install_manifest.txt"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
run() { "${as_user[@]}" env HOME="$work" "$@"; }

prefix=$work/prefix
echo "== cmake --install into $prefix"
run cmake --install "$build" --prefix "$prefix" | sed "s|$prefix|<prefix>|"
plugin=$prefix/lib/$arch/qt6/plugins/designer/libpelmora.so
if ldd "$plugin" | grep "not found"; then
  echo "the installed Designer plugin does not find its libraries" >&2
  exit 1
fi

for example in plot scale form; do
  echo "== examples/$example against the installed package"
  run cmake -S "examples/$example" -B "$work/$example" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
  run cmake --build "$work/$example"
  exe=$(find "$work/$example" -maxdepth 1 -type f -executable | head -n 1)
  run env QT_QPA_PLATFORM=offscreen "$exe" --check
done

echo "== pkg-config"
pc="env PKG_CONFIG_PATH=$prefix/lib/$arch/pkgconfig pkg-config"
$pc --modversion pelmora
run g++ -std=c++20 examples/plot/main.cpp -o "$work/plot_pc" $($pc --cflags --libs pelmora)
run env QT_QPA_PLATFORM=offscreen LD_LIBRARY_PATH="$prefix/lib/$arch" "$work/plot_pc" --check

echo "== Debian packages"
rm -f "$build"/*.deb
cmake --build "$build" --target package >/dev/null
for deb in "$build"/*.deb; do
  echo "-- $(basename "$deb")"
  dpkg-deb --field "$deb" Package Version Architecture Depends
  dpkg-deb --contents "$deb" | awk '{print "   " $6, $7, $8}'
done
if [[ $(id -u) -eq 0 ]]; then
  apt-get install --simulate "$build"/*.deb >/dev/null && echo "apt-get would install them"
fi
