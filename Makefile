# The commands a newcomer needs: `make run` and `make test` (and `make bench`).
# Each first installs whatever Debian packages are missing.

NATIVE := build/native
WINDOWS := build/windows
JOBS ?= 2
MAKEFLAGS += --no-print-directory

.PHONY: all deps native windows run test bench format clean

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

run: windows
	@scripts/run

test: native windows
	@ctest --test-dir $(NATIVE) --output-on-failure -j $(JOBS)
	@scripts/with-xvfb ctest --test-dir $(WINDOWS) --output-on-failure

bench: native
	@scripts/bench $(NATIVE)/bench/lupenta_bench

format:
	@clang-format -i $$(git ls-files '*.h' '*.cpp')

clean:
	rm -rf build
