# A thin front over the CMake presets: `make run` and `make test` are all a newcomer needs.
.PHONY: all setup configure build run screenshot test test-linux test-asan test-windows \
        test-fuzz test-e2e bench bench-startup clean \
        package test-installed

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

# SCALE=2 pictures the window as a high-DPI screen shows it, in main-window@2x.png.
SCALE ?= 1
screenshot: build
	QT_SCALE_FACTOR=$(SCALE) ./scripts/run.sh --screenshot \
	    docs/images/main-window$(if $(filter-out 1,$(SCALE)),@$(SCALE)x).png build/default/src/pedalwise

test: test-linux test-static test-asan test-windows test-fuzz test-installed

test-linux: build
	ctest --preset default

test-static: build
	./scripts/static-analysis.sh build/default

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

# The Debian package, build/package/pedalwise_<version>_amd64.deb.
package: build
	rm -f build/package/pedalwise_*.deb
	cpack --config build/default/CPackConfig.cmake -B build/package

# Installs the package on this machine, runs the end-to-end tests against /usr/bin/pedalwise
# and removes the package again.
test-installed: package
	./scripts/test-installed.sh build/package/pedalwise_*.deb

bench: build
	./build/default/bench/pedalwise_bench

# Start-up to the painted main window, peak memory and idle processor time, against a minimal
# Qt window in the same run on a private virtual display. RUNS runs of each.
RUNS ?= 20
bench-startup: build
	/usr/bin/python3 bench/startup/run_startup.py --runs $(RUNS)

clean:
	rm -rf build
