# The two commands a new user needs: `make run` and `make test`. The rest are for developers.
PRESET ?= dev
BUILD  := build/$(PRESET)
JOBS   ?= $(shell nproc)
FUZZ_SECONDS ?= 60
# ON makes every compiler warning an error (CI builds so: `make test WERROR=ON`).
WERROR ?= OFF

.PHONY: run test asan release package bench fuzz format format-check deps build clean

deps:
	@scripts/install-deps

# Configures the preset's build folder, again whenever WERROR changes.
$(BUILD)/.configured-werror-$(WERROR): | deps
	rm -f $(BUILD)/.configured-werror-*
	cmake --preset $(PRESET) -DLV_WERROR=$(WERROR)
	touch $@

build: deps $(BUILD)/.configured-werror-$(WERROR)
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

# The optimised build: the programs and the benchmarks, no tests.
release:
	$(MAKE) build PRESET=release

# The Debian package build/release/librovance_<version>_<arch>.deb, from the release build.
package: release
	cd build/release && cpack -G DEB

bench: release
	bench/run-all build/release

fuzz:
	$(MAKE) build PRESET=fuzz
	fuzz/run-all build/fuzz $(FUZZ_SECONDS)

# Reformats every C++ file that differs from .clang-format; format-check only lists them.
format: deps
	scripts/check-format --fix

format-check: deps
	scripts/check-format

clean:
	rm -rf build
