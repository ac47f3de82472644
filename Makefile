# Quick start: `make demo` builds the programs and the dialects into
# build-demo (where the README's commands run them) and decodes a sample
# message; `make check` installs what the tests need, builds everything and
# runs every test.

BUILD := build
JOBS := $(shell nproc)

.PHONY: demo check deps build test sanitize fuzz-smoke fuzz bench windows test-windows \
        screenshot dist deb test-package web npm test-web clean

demo:
	@scripts/install-deps.sh build
	cmake -S . -B build-demo -G Ninja -DCMAKE_BUILD_TYPE=Release -DISO8583_BUILD_TESTS=OFF >/dev/null
	cmake --build build-demo -j $(JOBS) --target iso8583dump iso8583pack dialects
	build-demo/cli/iso8583dump --defs bitmap.ini examples/purchase.hex

check: deps
	$(MAKE) test
	$(MAKE) sanitize
	$(MAKE) fuzz-smoke
	$(MAKE) test-windows
	$(MAKE) test-package
	$(MAKE) test-web

deps:
	scripts/install-deps.sh

build:
	@scripts/install-deps.sh
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
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
	@scripts/install-deps.sh web
	scripts/bench-web.sh

# The Windows programs: 32-bit shipped build and 64-bit twin for the tests.
windows:
	scripts/build-windows.sh

test-windows: windows
	scripts/test-windows.sh

screenshot: windows
	scripts/screenshot.sh

dist: windows
	scripts/dist.sh

# The Debian package dist/iso8583tools_VERSION_ARCH.deb, and its test.
deb:
	@scripts/install-deps.sh deb
	scripts/deb.sh

test-package: deb
	scripts/test-package.sh

# The decoder page dist/web/index.html (and docs/web.png), the npm package
# dist/iso8583tools-VERSION.tgz, and their tests against iso8583dump.
web:
	@scripts/install-deps.sh web
	scripts/web.sh

npm:
	@scripts/install-deps.sh web
	scripts/npm.sh

test-web: build web npm
	scripts/test-web.sh
	scripts/test-npm.sh

clean:
	rm -rf $(BUILD) build-* dist
