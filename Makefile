# The two commands a new user needs: `make run` and `make test`. The rest are for developers.
PRESET ?= dev
BUILD  := build/$(PRESET)
JOBS   ?= $(shell nproc)
FUZZ_SECONDS ?= 60

.PHONY: run test asan bench fuzz deps build clean

deps:
	@scripts/install-deps

$(BUILD)/build.ninja: | deps
	cmake --preset $(PRESET)

build: deps $(BUILD)/build.ninja
	cmake --build --preset $(PRESET) -j $(JOBS)

# Builds everything and opens the bundled sample tome.
run: build
	@scripts/run-sample $(BUILD)

# Builds everything and runs every test.
test: build
	ctest --preset $(PRESET) -j $(JOBS)

# The whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer.
asan:
	$(MAKE) test PRESET=asan

bench: deps
	cmake --preset release
	cmake --build --preset release -j $(JOBS)
	bench/run-all build/release

fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)
	fuzz/run-all build/fuzz $(FUZZ_SECONDS)

clean:
	rm -rf build
