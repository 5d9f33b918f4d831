# Two commands: `make run` and `make test` (see README.md); `make gallery`
# shows the drawing components.
BUILD     ?= build
ASAN      ?= build-asan
JOBS      ?= $(shell nproc)
CMAKEFLAGS ?=

.PHONY: run test gallery build deps asan bench package docs clean

run: build
	@if [ -x $(BUILD)/windows/tilvo ]; then cd "$(CURDIR)" && $(BUILD)/windows/tilvo; \
	else echo "The stopwatch program is not built yet: the libraries and tests are."; fi

gallery: build
	$(BUILD)/gallery/pelmora

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) asan

deps:
	@scripts/install-deps.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKEFLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

$(ASAN)/build.ninja: | deps
	cmake -S . -B $(ASAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTILVO_SANITIZE=ON -DTILVO_BENCH=OFF $(CMAKEFLAGS)

# The whole suite again under the address and undefined-behaviour sanitizers.
asan: deps $(ASAN)/build.ninja
	cmake --build $(ASAN) -j $(JOBS)
	cd $(ASAN) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b" --benchmark_min_time=0.2; done

# Debian packages of the library, written into $(BUILD).
package: build
	cmake --build $(BUILD) --target package

# The API reference, in $(BUILD)/docs/html.
docs: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) --target docs

clean:
	rm -rf $(BUILD) $(ASAN)
