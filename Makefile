# The two commands that set everything up on a fresh Debian 12 machine:
#   make run    installs what is missing, builds, and starts the desktop program
#   make test   installs what is missing, builds, and runs every test (also under ASan + UBSan)
.PHONY: all deps configure build run test test-default test-asan bench fuzz package format clean

all: build

deps:
	bash scripts/install-deps.sh

configure: deps
	cmake --preset default

build: configure
	cmake --build --preset default

run: build
	@if [ -x build/bin/vadelux ]; then ./build/bin/vadelux; else ./build/bin/vadelux-cli --help; fi

test-asan: deps
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

test-default: build
	ctest --preset default

# The sanitizer run goes first so that the last line printed is the summary of the plain run.
test: test-asan test-default

# Fuzzes the exchange-document reader, the dBase reader and the INI updater with clang's libFuzzer, each
# for FUZZ_SECONDS on its saved corpus (fuzz/corpus); a separate build in build-fuzz.
FUZZ_SECONDS ?= 60
fuzz: deps
	cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DVADELUX_FUZZ=ON -DVADELUX_WERROR=OFF \
	  -DVADELUX_BUILD_APP=OFF -DVADELUX_BUILD_TESTS=OFF -DVADELUX_BUILD_BENCH=OFF -DVADELUX_PACKAGE_TEST=OFF \
	  "-DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer" \
	  "-DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer" \
	  "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined"
	cmake --build build-fuzz -j2 --target fuzz_rayuela fuzz_dbf fuzz_ini
	fuzz/run-fuzzers.sh build-fuzz $(FUZZ_SECONDS)

package: build
	cd build && cpack -G DEB

# Times both directions on synthetic schools of 1x, 10x and 100x (a few minutes; not part of the tests).
bench: configure
	cmake --build --preset default --target vadelux-bench
	./build/bin/vadelux-bench

format:
	git ls-files -- '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-asan
