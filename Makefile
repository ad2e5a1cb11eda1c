# The two commands of the README, and the longer runs.
.PHONY: deps demo test test-dev test-gcc test-tsan windows test-windows package-windows icon bench bench-smoke fuzz release dev package screenshots clean

FUZZ_SECONDS ?= 600

deps:
	@scripts/install-deps.sh

dev: deps
	cmake --preset dev
	cmake --build --preset dev

release: deps
	cmake --preset release
	cmake --build --preset release

# Both compilers and every sanitizer, warnings as errors throughout: clang
# with AddressSanitizer and UndefinedBehaviorSanitizer (all tests and the
# short fuzzing runs), GCC, which builds the release (all tests), and clang
# with ThreadSanitizer (the tests of the programs' threads).
test: test-dev test-gcc test-tsan

test-dev: dev
	ctest --preset dev

test-gcc: deps
	cmake --preset gcc
	cmake --build --preset gcc
	ctest --preset gcc

# A report ends the program that makes it; the reports are shown at the end.
test-tsan: deps
	cmake --preset tsan
	cmake --build --preset tsan
	rm -f build/tsan/tsan-report.*
	ctest --preset tsan || { cat build/tsan/tsan-report.* 2>/dev/null; exit 1; }

# The Windows programs, cross-compiled; their tests run under wine, fenced
# off from this machine's own serial ports (scripts/under-wine.sh).
windows:
	scripts/install-deps.sh windows
	cmake --preset windows
	cmake --build --preset windows

# The Windows programs download to the Linux keyboard simulator.
test-windows: windows
	cmake --preset release
	cmake --build --preset release --target tavexdl-kbsim
	scripts/under-wine.sh build/windows ctest --preset windows

# The Windows installer (tavexdl-setup.exe) and zip, in build/windows.
package-windows: windows
	scripts/package-windows.sh build/windows

# Draws resources/win32/tavexdl.ico again from resources/tavexdl.svg.
icon:
	scripts/install-deps.sh icon
	scripts/make-icon.sh

demo: release
	scripts/demo.sh build/release

bench: release
	scripts/bench.sh build/release

# Every benchmark program once, briefly: proves each starts and finishes.
bench-smoke: release
	scripts/bench.sh build/release --smoke

fuzz: dev
	scripts/fuzz.sh build/dev $(FUZZ_SECONDS) fuzz_image
	scripts/fuzz.sh build/dev $(FUZZ_SECONDS) fuzz_receiver

package: release
	scripts/package.sh build/release

# The pictures in docs/: the Qt program's, then tavexdl.exe's under wine.
screenshots: release windows
	scripts/install-deps.sh screenshots
	scripts/screenshots.sh build/release
	scripts/under-wine.sh build/windows scripts/windows-screenshots.sh build/windows build/release/bin/tavexdl-kbsim

clean:
	rm -rf build
