#!/usr/bin/env bash
# Fuzzes the picture readers, the settings file reader, the form loader and
# the colour scale with libFuzzer under the address and undefined-behaviour
# sanitizers. Not part of CI.
#
#   scripts/fuzz.sh [seconds] [target...] [-- libFuzzer options...]
#
# Targets: bmp pcx gif jpeg tiff png metafile settings forms escala (all, one after the
# other, when none is named). Each runs for `seconds` (default 600) as a single
# in-process job. The readers and the graphics library are built with clang in
# build-fuzz/; corpora, logs and anything found go to fuzz-out/.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz
out=$root/fuzz-out
seconds=600
if [[ $# -gt 0 && $1 =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
fi
targets=()
while [[ $# -gt 0 && $1 != -- ]]; do
  targets+=("$1")
  shift
done
[[ $# -gt 0 ]] && shift
extra=("$@")
[[ ${#targets[@]} -eq 0 ]] && targets=(bmp pcx gif jpeg tiff png metafile settings forms escala)

command -v clang++ >/dev/null || { echo "clang++ is needed (apt-get install clang)" >&2; exit 1; }
sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

# The libraries, instrumented for coverage but without libFuzzer's main.
# The settings target also needs the engine and the controls (Qt, on its
# offscreen platform), the forms target the components and their loader.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_C_FLAGS="$sanitizers -fsanitize=fuzzer-no-link" \
  -DCMAKE_CXX_FLAGS="$sanitizers -fsanitize=fuzzer-no-link" \
  -DTILVO_TESTS=OFF -DTILVO_BENCH=OFF >/dev/null
libraries=(tk_imageio tk_graphics tk_system)
[[ " ${targets[*]} " == *" settings "* || " ${targets[*]} " == *" forms "* || " ${targets[*]} " == *" escala "* ]] &&
  libraries+=(stopwatch tk_controls pelmora_uiloader)
cmake --build "$build" --target "${libraries[@]}" -j 2

# The toolkit and the components are shared libraries: each is linked by its
# path and found again at run time through the run path.
so() { echo "$build/$1/libpelmora-$2.so" "-Wl,-rpath,$build/$1"; }
libs=($(so toolkit/imageio imageio) $(so toolkit/graphics graphics) $(so toolkit/system system) -lgif
      $(pkg-config --libs libjpeg libpng libtiff-4 freetype2 fontconfig libcanberra))
compile=(clang++ -std=c++20 -O1 -g $sanitizers -I"$root" -I"$root/tests/fuzz")
engine=("$build/stopwatch/libstopwatch.a" $(so toolkit/controls controls)
        $(pkg-config --cflags --libs Qt6Widgets) -fPIC)
forms=($(so designer uiloader) $(so components/image image) $(so components/panel panel) $(so components/plot plot)
       $(so components/scale scale) $(so components/disk disk) $(so toolkit/controls controls)
       $(pkg-config --cflags --libs Qt6UiTools Qt6Widgets) -fPIC)
# The colour scale alone, rounded as the library rounds it.
escala=("$root/components/scale/EscalaColors.cpp" -ffp-contract=off $(pkg-config --cflags --libs Qt6Core) -fPIC)

mkdir -p "$out/crashes"
if [[ ! -d $out/corpus ]]; then
  "${compile[@]}" "$root/tests/fuzz/make_seeds.cpp" "${libs[@]}" -o "$build/make_seeds"
  "$build/make_seeds" "$out/corpus"
fi

for target in "${targets[@]}"; do
  src=$root/tests/fuzz/fuzz_$target.cpp
  [[ -f $src ]] || { echo "no fuzz target '$target'" >&2; exit 1; }
  more=()
  # The readers run with the program's own limits, so one input may fill a
  # picture of 2^27 pixels: about a second of the instrumented reader's
  # processor time, ten on a busy machine's clock. The readers' targets
  # check processor time themselves (tests/fuzz/FuzzReader.h); the
  # time-out here catches what never returns.
  timeout=60
  [[ $target == settings ]] && more=("${engine[@]}") && timeout=10
  [[ $target == forms ]] && more=("${forms[@]}") && timeout=10
  [[ $target == escala ]] && more=("${escala[@]}") && timeout=10
  "${compile[@]}" -fsanitize=fuzzer "$src" "${more[@]}" "${libs[@]}" -o "$build/fuzz_$target"
  mkdir -p "$out/corpus/$target"
  # Forms start from ours, with the words they are made of. Fontconfig
  # keeps what it makes for each new font face a form names out of reach,
  # which LeakSanitizer would report on the first input with that face.
  if [[ $target == forms ]]; then
    cp -n "$root"/tests/fuzz/forms/*.ui "$out/corpus/$target/"
    options=(-dict="$root/tests/fuzz/forms.dict" -detect_leaks=0)
  else
    options=()
  fi
  echo "== $target: ${seconds}s, log in $out/$target.log"
  # One job, in this process: the machine is shared.
  if ! "$build/fuzz_$target" -max_total_time="$seconds" -timeout="$timeout" -rss_limit_mb=2048 -max_len=65536 \
      -print_final_stats=1 -artifact_prefix="$out/crashes/$target-" "${options[@]}" "${extra[@]}" \
      "$out/corpus/$target" >"$out/$target.log" 2>&1; then
    tail -n 40 "$out/$target.log" >&2
    echo "$target: the fuzzer found a problem; see $out/$target.log and $out/crashes/" >&2
    exit 1
  fi
  grep -E "^#[0-9]+[[:space:]]+(INITED|DONE)|^stat::" "$out/$target.log" || true
done
