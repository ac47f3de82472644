# Quick start: `make demo` decodes a sample message, `make check` installs
# what the tests need, builds everything and runs every test.

BUILD := build
JOBS := $(shell nproc)

.PHONY: demo check deps build test sanitize fuzz-smoke fuzz bench windows test-windows \
        screenshot dist clean

demo: build
	$(BUILD)/cli/iso8583dump --defs bitmap.ini examples/purchase.hex

check: deps
	$(MAKE) test
	$(MAKE) sanitize
	$(MAKE) fuzz-smoke
	$(MAKE) test-windows

deps:
	scripts/install-deps.sh

build:
	@command -v cmake >/dev/null || scripts/install-deps.sh
	cmake -S . -B $(BUILD) -G "$(shell command -v ninja >/dev/null && echo Ninja || echo Unix Makefiles)" -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The unit tests again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize:
	scripts/sanitize.sh

# Each fuzz target for a short time (FUZZ_SECONDS each), or for longer with `make fuzz`.
fuzz-smoke:
	FUZZ_SECONDS=$${FUZZ_SECONDS:-20} scripts/fuzz.sh

fuzz:
	FUZZ_SECONDS=$${FUZZ_SECONDS:-60} scripts/fuzz.sh

bench:
	scripts/bench.sh

# The Windows programs: 32-bit shipped build and 64-bit twin for the tests.
windows:
	scripts/build-windows.sh

test-windows: windows
	scripts/test-windows.sh

screenshot: windows
	scripts/screenshot.sh

dist: windows
	scripts/dist.sh

clean:
	rm -rf $(BUILD) build-* dist
