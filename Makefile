# The commands a newcomer needs: `make run` and `make test` (and `make bench`).
# Each first installs whatever Debian packages are missing. `make dist` packs the program
# and its read-me into a zip under build/ for handing to a user.
# `make fuzz` runs every fuzz harness for FUZZ_SECONDS (10 minutes) each; `make test` runs
# each for 20 s. `make sanitize` runs the unit tests under AddressSanitizer and UBSan.

NATIVE := build/native
WINDOWS := build/windows
FUZZ := build/fuzz
SANITIZE := build/sanitize
FUZZ_SECONDS ?= 600
JOBS ?= 2
MAKEFLAGS += --no-print-directory

.PHONY: all deps native windows dist fuzzers run test fuzz sanitize bench bench-e2e soak format clean

all: native windows

deps:
	@scripts/install-deps

native: deps
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

windows: deps
	@cmake -S . -B $(WINDOWS) -DCMAKE_BUILD_TYPE=Release \
		-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
	@cmake --build $(WINDOWS) -j $(JOBS)

# build/Lupenta-<version>.zip: Lupenta.exe and dist/readme.txt, for handing to a user.
dist: windows
	@cmake --build $(WINDOWS) --target dist

# clang, with libFuzzer and the sanitizers, in a build of its own.
fuzzers: deps
	@cmake -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUPENTA_FUZZ=ON \
		-DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build $(FUZZ) -j $(JOBS)

run: windows
	@scripts/run

test: native windows fuzzers
	@ctest --test-dir $(NATIVE) --output-on-failure -j $(JOBS)
	@scripts/fuzz $(FUZZ) 20 $(JOBS)
	@scripts/with-xvfb ctest --test-dir $(WINDOWS) --output-on-failure

fuzz: fuzzers
	@scripts/fuzz $(FUZZ) $(FUZZ_SECONDS) $(JOBS)

sanitize: deps
	@cmake -S . -B $(SANITIZE) -DCMAKE_BUILD_TYPE=Debug \
		-DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all" >/dev/null
	@cmake --build $(SANITIZE) -j $(JOBS) --target lupenta_unit_tests
	@$(SANITIZE)/tests/unit/lupenta_unit_tests --gtest_brief=1

# KERNELS=avx2 (or sse2, ssse3, avx512, vbmi, portable) measures that kernel set instead of the
# one this machine would choose.
bench: native windows
	@LUPENTA_KERNELS=$(KERNELS) scripts/bench $(NATIVE)/bench/lupenta_bench
	@scripts/install-deps bench-e2e
	@scripts/bench-e2e

# The whole program beside xzoom on one virtual display (also run by `make bench`).
bench-e2e: windows
	@scripts/install-deps bench-e2e
	@scripts/bench-e2e

# Not part of `make test`: SOAK_MINUTES (30 by default) of the program at its fastest refresh.
soak: windows
	@scripts/soak

format:
	@clang-format -i $$(git ls-files '*.h' '*.cpp')

clean:
	rm -rf build
