# Thin wrapper over the CMake presets: `make run`, `make test`.
# `make windows` cross-builds for Windows; `make test-windows` also runs the
# Windows suite under Wine (it needs the Linux build for its references).
PRESET ?= default
BUILD  := build/$(PRESET)

# `make fuzz`: every libFuzzer target for FUZZ_SECONDS, two at a time.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := reader vrml source viewer
FUZZ_BUILD   := build/fuzz

.PHONY: all deps build run test bench clean fuzz windows test-windows windows-package $(addprefix fuzz-,$(FUZZ_TARGETS))

all: build

deps:
	@sh scripts/install-deps

build: deps
	@cmake --preset $(PRESET) >/dev/null
	@cmake --build --preset $(PRESET)

test: build
	@ctest --preset $(PRESET)

windows:
	@sh scripts/install-deps windows
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows

test-windows: build windows
	@bash tests/windows/suite.sh build/windows $(BUILD)

windows-package: windows
	@cd build/windows && cpack -G ZIP

run: build
	@sh scripts/run-example $(BUILD)

bench: build
	@for b in $(BUILD)/bench/*/bench_*; do $$b; done

fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz
	@$(MAKE) --no-print-directory -j2 $(addprefix fuzz-,$(FUZZ_TARGETS))

# New inputs go to build/fuzz/corpus/<target>; the seeds and the saved
# regressions are only read. A failing input lands in build/fuzz/artifacts.
# The viewer target draws with llvmpipe in the fuzzing thread alone.
$(addprefix fuzz-,$(FUZZ_TARGETS)): fuzz-%:
	@mkdir -p $(FUZZ_BUILD)/corpus/$* $(FUZZ_BUILD)/artifacts
	@LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp ASAN_OPTIONS=quarantine_size_mb=64 LP_NUM_THREADS=0 \
	  $(FUZZ_BUILD)/tests/fuzz/fuzz_$* -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	  -dict=tests/fuzz/scene.dict -artifact_prefix=$(FUZZ_BUILD)/artifacts/$*- \
	  $(FUZZ_BUILD)/corpus/$* tests/fuzz/corpus tests/fuzz/regressions > $(FUZZ_BUILD)/fuzz-$*.log 2>&1 \
	  || { tail -n 60 $(FUZZ_BUILD)/fuzz-$*.log; echo "fuzz $*: FAILED, see $(FUZZ_BUILD)/artifacts"; exit 1; }
	@echo "fuzz $*: $$(grep -h stat::number_of_executed_units $(FUZZ_BUILD)/fuzz-$*.log | awk '{print $$2}') runs in $(FUZZ_SECONDS) s, no failure"

clean:
	rm -rf build out
