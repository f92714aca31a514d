# One entry point for a fresh Debian 12 machine: every target installs what is
# missing first, so `make run` and `make test` work on a clean clone.
BUILD      ?= build
BUILD_TYPE ?= Release
CMAKE_ARGS ?=

.PHONY: all deps configure build run test bench clean

all: build

deps:
	@tools/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD)

run: build
	$(BUILD)/bin/solandre

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

bench: build
	cmake --build $(BUILD) --target benchmarks
	@for b in $(BUILD)/bench/bench_*; do echo "== $$b"; "$$b" || exit 1; done

clean:
	rm -rf $(BUILD)
