# Front door of the project. Every target first installs the missing Debian
# packages of what it does through scripts/install-deps.sh (build, test,
# bench, fuzz, windows: the script's head says which packages each takes).
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: deps deps-test configure configure-test build build-test test demo package bench fuzz clean \
        windows test-windows package-windows

deps:
	@scripts/install-deps.sh build

deps-test:
	@scripts/install-deps.sh build test bench

# A new build folder of build, demo and package holds the programs alone
# (no tests, no benchmarks); one that make test configured keeps its tests.
NEW_BUILD_FLAGS = $(if $(wildcard $(BUILD)/CMakeCache.txt),,-DVELOR_TESTS=OFF -DVELOR_BENCH=OFF)

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(NEW_BUILD_FLAGS) $(CMAKE_FLAGS)

configure-test: deps-test
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELOR_TESTS=ON -DVELOR_BENCH=ON $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j$(JOBS)

build-test: configure-test
	cmake --build $(BUILD) -j$(JOBS)

# Builds and runs every test (and compiles the benchmarks).
test: build-test
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

# Builds, creates a store from examples/demo-ledger.json and exports it.
demo: build
	scripts/demo.sh $(BUILD)

# The Debian package of the build: $(BUILD)/velor_VERSION_ARCH.deb.
package: build
	cd $(BUILD) && cpack -G DEB

# Runs the benchmarks (not part of the tests).
bench:
	@scripts/install-deps.sh build bench
	scripts/bench.sh

# Builds the fuzz targets with clang and libFuzzer.
fuzz:
	@scripts/install-deps.sh build fuzz
	scripts/fuzz.sh

# The native Windows build, cross-compiled with mingw-w64 into $(WINBUILD):
# velor.exe, velor-host.exe, velor-read.exe, the text library as a DLL with
# its import library, and the tests.
WINBUILD ?= build-win
WINFLAGS ?=
windows:
	@scripts/install-deps.sh windows
	cmake -S . -B $(WINBUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchain-mingw-w64-x86_64.cmake -DVELOR_BENCH=OFF \
	  -DVELOR_NATIVE_BUILD=$(abspath $(BUILD)) $(WINFLAGS)
	cmake --build $(WINBUILD) -j$(JOBS)

# Runs every test of the Windows build under wine (a private prefix in
# $(WINBUILD)/wineprefix). The native build is made too: the Windows
# program's exports are compared with its own.
test-windows: deps-test windows build
	ctest --test-dir $(WINBUILD) --output-on-failure -j$(JOBS)

# The Windows installer of the Windows build (CPack's NSIS generator):
# $(WINBUILD)/velor-VERSION-win64.exe installs velor.exe, velor-host.exe,
# velor-read.exe, OrbelleDef.ini, the text library with its headers and CMake
# package, and a Start-menu folder.
package-windows: windows
	cd $(WINBUILD) && cpack -G NSIS

clean:
	rm -rf $(BUILD) build-asan build-bench build-fuzz $(WINBUILD)
