# The two commands: `make run` builds and starts the program, `make test`
# builds and runs every test. Both install missing Debian packages first.
BUILD ?= build
JOBS ?= 2

.PHONY: all deps configure build run test test-sanitizers bench fuzz fpc-proof clean package test-package \
        windows windows-configure test-windows

all: build

deps:
	bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -G Ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: configure
	cmake --build $(BUILD) --target Quorvel -j $(JOBS)
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "No display: set DISPLAY (or run: xvfb-run -a $(BUILD)/bin/quorvel)"; exit 1; fi
	$(BUILD)/bin/quorvel

test: build test-sanitizers test-windows
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen QUORVEL_CACHE_DIR=$(abspath $(BUILD))/test-cache ctest --output-on-failure -j $(JOBS)
	bash tests/package/package-test.sh $(BUILD)

# The Debian package (quorvel_<version>_amd64.deb in $(BUILD)) and its test,
# also run by `make test`: lintian, install, run both programs, purge, nothing
# left. The test needs root or sudo and quorvel not installed.
package: build
	cmake --build $(BUILD) --target package -j $(JOBS)

test-package: build
	bash tests/package/package-test.sh $(BUILD)

# clang builds in build-asan/ and build-tsan/; any sanitizer report fails.
test-sanitizers: deps
	JOBS=$(JOBS) bash scripts/sanitizer-tests.sh

# Benchmarks need the Debian Pascal source trees and an optimised build.
bench:
	bash scripts/install-deps.sh --corpus
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVEL_BUILD_TESTS=OFF -DQUORVEL_BUILD_UI=ON
	cmake --build build-bench -j $(JOBS)
	bash bench/run-all.sh build-bench

# Builds Debian's Pascal sources with fpc before and after formatting them
# (long: see bench/fpc-proof/README.md). FPC_PROOF_OPTS go to quorvel-cli (the
# Debian trees it formats are found as the compilers' sources without them);
# plain sorting: make fpc-proof FPC_PROOF_PASS=plain FPC_PROOF_OPTS=--plain-order
FPC_PROOF_PASS ?= default
FPC_PROOF_OPTS ?=
fpc-proof:
	bash scripts/install-deps.sh --corpus
	cmake -S . -B build-proof -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVEL_BUILD_TESTS=OFF -DQUORVEL_BUILD_UI=OFF -DQUORVEL_BUILD_BENCH=OFF
	cmake --build build-proof --target quorvel-cli -j $(JOBS)
	bash bench/fpc-proof/run.sh build-proof/bin/quorvel-cli $(FPC_PROOF_PASS) -- $(FPC_PROOF_OPTS)

# Fuzzing needs clang's libFuzzer; FUZZ_SECONDS bounds the run.
FUZZ_SECONDS ?= 60
fuzz:
	bash scripts/install-deps.sh
	bash fuzz/run-fuzz.sh $(FUZZ_SECONDS)

# Windows: quorvel-cli.exe and Quorvel.exe cross-built with mingw-w64; their
# tests run under Wine (the window's on an Xvfb screen). The window needs a
# static Qt for Windows, built once from Debian's source packages into
# ~/.cache/quorvel by `make windows` (about an hour on 2 cores); `make test`
# never builds it, and without it runs the tool's Windows tests alone.
WINBUILD ?= build-windows
WINDOWS_SKIP_NOTE = NOTE: the window's Windows tests were skipped: no static Qt for Windows in \
  $$(bash scripts/build-qt-windows.sh --print-prefix). To run them: make windows, then make test-windows.
windows-configure: deps
	bash scripts/windows-configure.sh $(WINBUILD) $(abspath $(BUILD))/bin/quorvel-cli

# Both programs and a zip with them and a README for users, in $(WINBUILD).
windows: deps
	JOBS=$(JOBS) bash scripts/build-qt-windows.sh
	bash scripts/windows-configure.sh $(WINBUILD) $(abspath $(BUILD))/bin/quorvel-cli
	cmake --build $(WINBUILD) --target quorvel-cli Quorvel -j $(JOBS)
	cd $(WINBUILD) && cpack -G ZIP

test-windows: build windows-configure
	cmake --build $(WINBUILD) -j $(JOBS)
	cd $(WINBUILD) && ctest --output-on-failure -j $(JOBS)
	@bash scripts/build-qt-windows.sh --check || echo "$(WINDOWS_SKIP_NOTE)"

clean:
	rm -rf $(BUILD) build-bench build-fuzz build-proof build-asan build-tsan $(WINBUILD)
