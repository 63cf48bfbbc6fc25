# Thin wrapper over the CMake presets (and, for the Debian packages, a release
# build for /usr of its own). Each target installs what it needs
# (scripts/install-deps; SKIP_DEPS=1 skips that) and builds only what it runs.
#   make run      mirovan and mirovan-snapshot, then the bundled example
#   make test     every test but package-test     make bench   the benchmarks
#   make fuzz     the fuzz targets    make format-check
#   make windows  cross-built for Windows (mingw-w64); make windows-package
#   make test-windows  the Windows suite under Wine, against the Linux build
#   make package  the Debian packages mirovan and mirovan-dev (build/package)
#   make package-test  installs them with apt, runs them, purges them (root)
#   make playground  the browser playground, with emscripten
# PRESET=asan builds with the sanitizers; WERROR=1 makes warnings errors.
PRESET ?= default
BUILD  := build/$(PRESET)
WERROR ?= 0
CONFIGURE = cmake --preset $(PRESET) -DMIROVAN_WARNINGS_AS_ERRORS=$(if $(filter 1,$(WERROR)),ON,OFF)

# `make fuzz`: every libFuzzer target for FUZZ_SECONDS, two at a time.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := reader vrml source viewer export
FUZZ_BUILD   := build/fuzz

# `make package`: a release build for /usr with Debian's compiler and linker
# flags (hardening; no debug information, as the packages ship stripped).
PACKAGE_BUILD := build/package

DEPS := $(addprefix deps-,run test bench fuzz windows package playground)
.PHONY: all run test bench fuzz format-check clean windows windows-package test-windows package package-test playground $(DEPS) $(addprefix fuzz-,$(FUZZ_TARGETS))

all: run

$(DEPS): deps-%:
	@[ "$(SKIP_DEPS)" = 1 ] || sh scripts/install-deps $*

# A fresh build tree gets no tests; one configured by `make test` keeps them.
run: deps-run
	@[ -f $(BUILD)/CMakeCache.txt ] || $(CONFIGURE) -DMIROVAN_BUILD_TESTS=OFF >/dev/null
	@cmake --build --preset $(PRESET) --target mirovan mirovan-snapshot
	@sh scripts/run-example $(BUILD)

test: deps-test tests/web/node_modules/.package-lock.json
	@$(CONFIGURE) -DMIROVAN_BUILD_TESTS=ON >/dev/null
	@cmake --build --preset $(PRESET)
	@ctest --preset $(PRESET)

# The browser tests' npm packages, as the lock file pins them.
tests/web/node_modules/.package-lock.json: tests/web/package-lock.json
	@cd tests/web && npm ci --no-audit --no-fund --loglevel=error >/dev/null

bench: deps-bench
	@$(CONFIGURE) -DMIROVAN_BUILD_BENCH=ON >/dev/null
	@cmake --build --preset $(PRESET) --target benchmarks
	@for b in $(BUILD)/bench/*/bench_*; do $$b; done

windows: deps-windows
	@cmake --preset windows -DMIROVAN_WARNINGS_AS_ERRORS=$(if $(filter 1,$(WERROR)),ON,OFF) >/dev/null
	@cmake --build --preset windows

windows-package: windows
	@cd build/windows && rm -f Mirovan-*-win64.zip && cpack -G ZIP >/dev/null && ls "$$PWD"/Mirovan-*-win64.zip

package: deps-package
	@cmake -S . -B $(PACKAGE_BUILD) -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
	  -DMIROVAN_BUILD_TESTS=OFF -DMIROVAN_BUILD_BENCH=OFF \
	  -DMIROVAN_WARNINGS_AS_ERRORS=$(if $(filter 1,$(WERROR)),ON,OFF) \
	  -DCMAKE_C_FLAGS="$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CFLAGS | sed 's/\(^\| \)-g\( \|$$\)/ /')" \
	  -DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CXXFLAGS | sed 's/\(^\| \)-g\( \|$$\)/ /')" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)" >/dev/null
	@cmake --build $(PACKAGE_BUILD) -j2
	@cd $(PACKAGE_BUILD) && rm -f *.deb && cpack -G DEB >/dev/null && ls "$$PWD"/*.deb

# Needs root (through sudo otherwise): it installs and purges the packages.
package-test: package
	@bash tests/package/install_test.sh $(PACKAGE_BUILD)

# The Linux programs the suite compares with: the viewer's snapshots, the
# translations and the random scenes.
test-windows: deps-test windows
	@$(CONFIGURE) -DMIROVAN_BUILD_TESTS=ON >/dev/null
	@cmake --build --preset $(PRESET) --target mirovan mirovan-snapshot roundtrip_random_scene
	@bash tests/windows/suite.sh build/windows $(BUILD)

# The playground: one HTML file in build/playground. emscripten's tools need
# Debian's node modules whichever node stands first on PATH.
playground: deps-playground
	@NODE_PATH=/usr/share/nodejs emcmake cmake -S playground -B build/playground >/dev/null
	@NODE_PATH=/usr/share/nodejs cmake --build build/playground
	@ls "$$PWD"/build/playground/mirovan-playground.html

format-check:
	@clang-format --dry-run --Werror $$(git ls-files '*.cpp' '*.h' '*.c' ':!tests/golden') && echo "format: clean"

fuzz: deps-fuzz
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz
	@$(MAKE) --no-print-directory -j2 $(addprefix fuzz-,$(FUZZ_TARGETS))

# New inputs go to build/fuzz/corpus/<target>; the seeds and the saved
# regressions are only read. A failing input lands in build/fuzz/artifacts.
# The viewer target draws with llvmpipe in the fuzzing thread alone; the leak
# checker leaves __tls_get_addr alone (see the asan test preset).
$(addprefix fuzz-,$(FUZZ_TARGETS)): fuzz-%:
	@mkdir -p $(FUZZ_BUILD)/corpus/$* $(FUZZ_BUILD)/artifacts
	@LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp ASAN_OPTIONS=quarantine_size_mb=64:intercept_tls_get_addr=0 LP_NUM_THREADS=0 \
	  $(FUZZ_BUILD)/tests/fuzz/fuzz_$* -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	  -dict=tests/fuzz/scene.dict -artifact_prefix=$(FUZZ_BUILD)/artifacts/$*- \
	  $(FUZZ_BUILD)/corpus/$* tests/fuzz/corpus tests/fuzz/regressions > $(FUZZ_BUILD)/fuzz-$*.log 2>&1 \
	  || { tail -n 60 $(FUZZ_BUILD)/fuzz-$*.log; echo "fuzz $*: FAILED, see $(FUZZ_BUILD)/artifacts"; exit 1; }
	@echo "fuzz $*: $$(grep -h stat::number_of_executed_units $(FUZZ_BUILD)/fuzz-$*.log | awk '{print $$2}') runs in $(FUZZ_SECONDS) s, no failure"

clean:
	rm -rf build out
