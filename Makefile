# Thin wrapper over the CMake presets: `make run`, `make test`.
PRESET ?= default
BUILD  := build/$(PRESET)

.PHONY: all deps build run test bench clean

all: build

deps:
	@sh scripts/install-deps

build: deps
	@cmake --preset $(PRESET) >/dev/null
	@cmake --build --preset $(PRESET)

test: build
	@ctest --preset $(PRESET)

run: build
	@sh scripts/run-example $(BUILD)

bench: build
	@for b in $(BUILD)/bench/*/bench_*; do $$b; done

clean:
	rm -rf build out
