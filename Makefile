# A thin front over the CMake presets: `make run` and `make test` are all a newcomer needs.
.PHONY: all setup configure build run screenshot test test-linux test-asan test-windows \
        test-fuzz test-e2e bench clean

JOBS ?= $(shell nproc)

all: build

setup:
	@./scripts/setup.sh

configure: setup
	cmake --preset default

build: configure
	cmake --build --preset default -j $(JOBS)

run: build
	./scripts/run.sh build/default/src/pedalwise

screenshot: build
	./scripts/run.sh --screenshot docs/images/main-window.png build/default/src/pedalwise

test: test-linux test-asan test-windows test-fuzz

test-linux: build
	ctest --preset default

test-asan: setup
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan

test-windows: setup
	cmake --preset mingw
	cmake --build --preset mingw -j $(JOBS)
	ctest --preset mingw

test-fuzz: setup
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)
	ctest --preset fuzz

bench: build
	./build/default/bench/pedalwise_bench

clean:
	rm -rf build
