# A thin front over the CMake presets: `make run` and `make test` are all a newcomer needs.
.PHONY: all setup configure build app run screenshot test test-linux test-static \
        test-asan test-windows test-fuzz test-installed test-debian-13 check-reproducible \
        check-reproducible-deb check-reproducible-windows package windows \
        bench bench-startup bench-windows clean

JOBS ?= $(shell nproc)

# The preset of the Linux build: build/debian-13 when a Debian 12 machine builds in its Debian 13
# system (scripts/debian-13.sh), so that the two builds never share a folder.
LINUX_PRESET ?= default

# The packages carry the time of the last commit, not of the build, so that two builds of one
# commit come out the same bit for bit.
ifeq ($(origin SOURCE_DATE_EPOCH),undefined)
SOURCE_DATE_EPOCH := $(shell git log -1 --format=%ct 2>/dev/null)
endif
ifneq ($(SOURCE_DATE_EPOCH),)
export SOURCE_DATE_EPOCH
endif

all: build

# Every package: building, running, testing (scripts/setup.sh names the sets).
setup:
	@./scripts/setup.sh

# Each target names the sets of packages it needs beyond building (SETS), and they are looked
# for before anything is built. make run, make screenshot and make test install what is missing
# (through sudo unless run as root); every other target only checks, names what is missing and
# how to install it, and stops.
NEED = @./scripts/setup.sh --check
run screenshot test: NEED = @./scripts/setup.sh
run screenshot: SETS += run
test-linux bench-startup: SETS += linux-tests
test-static: SETS += static
test-fuzz: SETS += fuzz
windows: SETS += windows
test-windows bench-windows: SETS += windows linux-tests
package: SETS += package
test-installed: SETS += package linux-tests
check-reproducible-deb: SETS += package reproducible
check-reproducible-windows: SETS += windows reproducible
test-debian-13: SETS += package debian-13

# The program as users get it, from make run and in the package, is built with Debian's
# hardening flags, "-z now" included (PIE is the compiler's own default). The preset's build
# type still decides optimisation and debugging information; the build maps source paths
# itself (CMakeLists.txt), in the Windows program too.
DEB_FLAGS = DEB_BUILD_MAINT_OPTIONS="hardening=+all reproducible=-fixfilepath,-fixdebugpath" \
            DEB_CXXFLAGS_MAINT_STRIP="-g -O2" dpkg-buildflags --get
# make expands every line of a recipe before it runs the first, and that first line may be the
# one that installs dpkg-buildflags; so the shell reads the flags when the line that uses them
# runs, not make when the recipe starts.
HARDENING = -DCMAKE_CXX_FLAGS="$$($(DEB_FLAGS) CPPFLAGS) $$($(DEB_FLAGS) CXXFLAGS)" \
            -DCMAKE_EXE_LINKER_FLAGS="$$($(DEB_FLAGS) LDFLAGS)"

configure:
	$(NEED) build tests $(SETS)
	cmake --preset $(LINUX_PRESET) $(HARDENING)

build: configure
	cmake --build --preset $(LINUX_PRESET) -j $(JOBS)

# make run needs only the program: the packages that build and show it, and a build of the
# program alone in build/app, with no tests or benchmarks.
app:
	$(NEED) build $(SETS)
	cmake --preset app $(HARDENING)
	cmake --build --preset app -j $(JOBS)

run: app
	./scripts/run.sh build/app/src/pedalwise

# SCALE=2 pictures the window as a high-DPI screen shows it, in main-window@2x.png.
SCALE ?= 1
screenshot: app
	QT_SCALE_FACTOR=$(SCALE) ./scripts/run.sh --screenshot \
	    docs/images/main-window$(if $(filter-out 1,$(SCALE)),@$(SCALE)x).png build/app/src/pedalwise

# Everything is installed first, before the first build.
test: setup test-linux test-static test-asan test-windows test-fuzz test-installed test-debian-13 \
      check-reproducible

test-linux: build
	$(NEED) $(SETS)
	ctest --preset $(LINUX_PRESET)

test-static: build
	$(NEED) $(SETS)
	./scripts/static-analysis.sh build/default

test-asan:
	$(NEED) build tests $(SETS)
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan

# The Windows program ships Qt 6.8, built from Debian 13's source with Debian 13's MinGW-w64,
# and is tested under Debian 13's Wine 10. Debian 12's Qt is 6.4, so there each Windows target
# runs again inside the Debian 13 system of scripts/debian-13.sh, with the packages it needs
# installed there and that system's own Linux build (build/debian-13) drawing the icon.
ifeq ($(shell . /etc/os-release && echo "$$ID $$VERSION_ID"),debian 12)
windows test-windows bench-windows check-reproducible-windows:
	@./scripts/setup.sh --check debian-13
	./scripts/debian-13.sh sh -c './scripts/setup.sh build tests $(SETS) && \
	    make $@ LINUX_PRESET=debian-13 JOBS=$(JOBS) RUNS=$(RUNS)'
else

# The whole program for Windows: Qt for Windows is built once per machine into a cache folder
# (scripts/build-windows-qt.sh says where, and how far it is), the program against it
# with MinGW-w64, and from that the setup program and the archive in build/windows/packages.
# The icon is drawn by this machine's own build of the renderer.
HOST_RENDERER = $(CURDIR)/build/$(LINUX_PRESET)/resources/pedalwise_render_pictures
windows: configure
	$(NEED) $(SETS)
	cmake --build --preset $(LINUX_PRESET) --target pedalwise_render_pictures
	qt=$$(./scripts/build-windows-qt.sh) && \
	    PEDALWISE_QT_WINDOWS=$$qt cmake --preset windows -DPEDALWISE_HOST_RENDERER=$(HOST_RENDERER)
	cmake --build --preset windows -j $(JOBS)
	cmake --build --preset windows --target windows_packages

# The whole Windows program under Wine: the tests of every layer, the real program driven by
# the keyboard, and the setup program in a fresh prefix, on a virtual X display of their own
# that Wine's session in the test prefix keeps from its start to its end. (The mingw preset
# builds and tests only the parts without Qt, for a machine without Qt for Windows.)
test-windows: windows
	$(NEED) $(SETS)
	./tests/e2e/xsession.sh sh -c 'PEDALWISE_WINE_DISPLAY=$$DISPLAY ctest --preset windows; \
	    status=$$?; WINEPREFIX=$(CURDIR)/build/windows/wineprefix wineserver -k 2>/dev/null; \
	    exit $$status'

# The setup program and the archive built again; see check-reproducible.
check-reproducible-windows: windows
	$(NEED) $(SETS)
	qt=$$(./scripts/build-windows-qt.sh) && PEDALWISE_QT_WINDOWS=$$qt JOBS=$(JOBS) \
	    ./scripts/check-reproducible.sh build/rebuild-windows windows $(HARDENING)

# The Windows program's start-up under Wine against the fair window built alike (Wine's own
# Notepad as the floor), RUNS runs of each in one warm Wine session on a private virtual
# display; and the sizes of the setup program, the archive and the unpacked program.
bench-windows: windows
	$(NEED) $(SETS)
	cmake --build --preset $(LINUX_PRESET) --target pedalwise_startup_mapwatch
	/usr/bin/python3 bench/startup/run_startup.py --wine --build-dir build/$(LINUX_PRESET) \
	    --runs $(RUNS)
endif

test-fuzz:
	$(NEED) build $(SETS)
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)
	ctest --preset fuzz

# The Debian package, build/package/pedalwise_<version>_amd64.deb. CPack gives its parts the
# permissions the umask gives them.
package: build
	$(NEED) $(SETS)
	rm -f build/package/pedalwise_*.deb
	umask 022 && cpack --config build/default/CPackConfig.cmake -B build/package

# Checks the package with lintian, installs it on this machine, runs the end-to-end tests
# against /usr/bin/pedalwise and removes the package again.
test-installed: package
	$(NEED) $(SETS)
	./scripts/test-installed.sh build/package/pedalwise_*.deb

# On Debian 12, the Linux tests and the package's again in Debian 13 (scripts/debian-13.sh):
# the program and its tests built there, in build/debian-13, and the package built here installed
# there. On Debian 13 and later, test-linux and test-installed have run on the machine itself.
IN_DEBIAN_13 = ./scripts/setup.sh build tests linux-tests package && \
    make test-linux LINUX_PRESET=debian-13 JOBS=$(JOBS) && \
    ./scripts/test-installed.sh build/package/pedalwise_*.deb build/debian-13-installed-e2e
test-debian-13: package
	@if [ "$$(. /etc/os-release && echo "$$ID $$VERSION_ID")" = "debian 12" ]; then \
	    ./scripts/setup.sh --check $(SETS) && ./scripts/debian-13.sh sh -c '$(IN_DEBIAN_13)'; \
	else \
	    echo "test-debian-13: not Debian 12; test-linux and test-installed ran the tests here"; \
	fi

# Builds the .deb, the setup program and the archive a second time with reprotest, from a copy of
# the same sources (the program alone, without tests), in another folder, a year later, with
# another umask, locale and time zone, on a file system that lists folders in a random order, and
# fails unless each comes out the same bit for bit; diffoscope's report, in build/rebuild-deb or
# build/rebuild-windows, then shows what differs. The second build of the Windows packages uses
# the Qt for Windows that make windows used.
check-reproducible: check-reproducible-deb check-reproducible-windows

check-reproducible-deb: package
	$(NEED) $(SETS)
	JOBS=$(JOBS) ./scripts/check-reproducible.sh build/rebuild-deb deb $(HARDENING)

bench: build
	./build/default/bench/pedalwise_bench

# Start-up to the painted main window, peak memory and idle processor time, against a minimal
# Qt window in the same run on a private virtual display. RUNS runs of each.
RUNS ?= 20
bench-startup: build
	$(NEED) $(SETS)
	/usr/bin/python3 bench/startup/run_startup.py --runs $(RUNS)

clean:
	rm -rf build
