# SPDX-License-Identifier: GPL-3.0-or-later
# One entry point for a fresh Debian 12 machine: every target installs what is
# missing first, so `make run` and `make test` work on a clean clone.
SHELL      := /bin/bash
BUILD      ?= build
BUILD_TYPE ?= Release
CMAKE_ARGS ?=

FUZZ_SECONDS ?= 60
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZERS    := numbering search query viewer segments tmx table lines export

.PHONY: all deps configure build run test test-asan fuzz bench package clean

all: build

deps:
	@tools/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD)

run: build
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  echo "make run: no desktop session (neither DISPLAY nor WAYLAND_DISPLAY is set)."; \
	  echo "Start Solandre from a desktop, or on a virtual screen with: xvfb-run make run"; \
	  exit 1; fi
	$(BUILD)/bin/solandre

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $$(nproc)

# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSOLANDRE_SANITIZE=ON
	cmake --build $(ASAN_BUILD)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tools/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $$(nproc)

# Each fuzz target for FUZZ_SECONDS, from the seeds in fuzz/corpus; a finding
# stops the run and leaves its input in $(FUZZ_BUILD)/findings.
fuzz:
	@tools/install-deps.sh fuzz
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSOLANDRE_FUZZ=ON \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ_BUILD) --target fuzzers
	@mkdir -p $(FUZZ_BUILD)/findings
	@for f in $(FUZZERS); do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$f; \
	  echo "== fuzz_$$f for $(FUZZ_SECONDS) s"; \
	  $(FUZZ_BUILD)/fuzz/fuzz_$$f -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	    -artifact_prefix=$(FUZZ_BUILD)/findings/$$f- \
	    $(FUZZ_BUILD)/corpus/$$f fuzz/corpus/$$f 2>&1 | grep -E "^(stat::number_of_executed_units|stat::peak_rss|==|SUMMARY|Done)|ERROR|mismatch" ; \
	  test $${PIPESTATUS[0]} -eq 0 || exit 1; \
	done

bench: build
	cmake --build $(BUILD) --target benchmarks
	@for b in $(BUILD)/bench/bench_*; do echo "== $$b"; "$$b" || exit 1; done

# A Debian package of both programs, in $(BUILD); install it with
# sudo apt-get install ./$(BUILD)/solandre_*.deb
package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD)
