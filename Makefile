# The two commands of the README, and the longer runs.
.PHONY: deps demo test test-dev test-gcc bench fuzz release dev package screenshots clean

FUZZ_SECONDS ?= 600

deps:
	@scripts/install-deps.sh

dev: deps
	cmake --preset dev
	cmake --build --preset dev

release: deps
	cmake --preset release
	cmake --build --preset release

# Both compilers, warnings as errors: clang with AddressSanitizer and
# UndefinedBehaviorSanitizer (all tests and the short fuzzing runs), and
# GCC, which builds the release (all tests).
test: test-dev test-gcc

test-dev: dev
	ctest --preset dev

test-gcc: deps
	cmake --preset gcc
	cmake --build --preset gcc
	ctest --preset gcc

demo: release
	scripts/demo.sh build/release

bench: release
	build/release/bench/tavexdl-bench
	build/release/bench/check-vs-srec-info build/release/src/tavexdl-cli
	build/release/bench/download-vs-wire build/release/src/tavexdl-cli build/release/src/sim/tavexdl-kbsim
	build/release/bench/parallel-vs-single build/release/src/tavexdl-cli build/release/src/sim/tavexdl-kbsim

fuzz: dev
	scripts/fuzz.sh build/dev $(FUZZ_SECONDS) fuzz_image
	scripts/fuzz.sh build/dev $(FUZZ_SECONDS) fuzz_receiver

package: release
	scripts/package.sh build/release

screenshots: release
	scripts/install-deps.sh screenshots
	scripts/screenshots.sh build/release

clean:
	rm -rf build
