# Front door of the project. Every target first installs missing Debian
# packages through scripts/install-deps.sh.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: deps configure build test demo package bench fuzz clean windows test-windows package-windows

deps:
	@scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j$(JOBS)

# Builds and runs every test.
test: build
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

# Builds, creates a store from examples/demo-ledger.json and exports it.
demo: build
	scripts/demo.sh $(BUILD)

# The Debian package of the build: $(BUILD)/velor_VERSION_ARCH.deb.
package: build
	cd $(BUILD) && cpack -G DEB

# Runs the benchmarks (not part of the tests).
bench: deps
	scripts/bench.sh

# Builds the fuzz targets with clang and libFuzzer.
fuzz: deps
	scripts/fuzz.sh

# The native Windows build, cross-compiled with mingw-w64 into $(WINBUILD):
# velor.exe, velor-host.exe, velor-read.exe, the text library as a DLL with
# its import library, and the tests.
WINBUILD ?= build-win
WINFLAGS ?=
windows: deps
	cmake -S . -B $(WINBUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchain-mingw-w64-x86_64.cmake -DVELOR_BENCH=OFF \
	  -DVELOR_NATIVE_BUILD=$(abspath $(BUILD)) $(WINFLAGS)
	cmake --build $(WINBUILD) -j$(JOBS)

# Runs every test of the Windows build under wine (a private prefix in
# $(WINBUILD)/wineprefix). The native build is made too: the Windows
# program's exports are compared with its own.
test-windows: windows build
	ctest --test-dir $(WINBUILD) --output-on-failure -j$(JOBS)

# The Windows installer of the Windows build (CPack's NSIS generator):
# $(WINBUILD)/velor-VERSION-win64.exe installs velor.exe, velor-host.exe,
# velor-read.exe, OrbelleDef.ini, the text library with its headers and CMake
# package, and a Start-menu folder.
package-windows: windows
	cd $(WINBUILD) && cpack -G NSIS

clean:
	rm -rf $(BUILD) build-asan build-bench build-fuzz $(WINBUILD)
