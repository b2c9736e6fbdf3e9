# Two commands do all the set-up on a fresh Debian 12 machine: `make run` and `make test`.
BUILD      ?= build
ASAN_BUILD ?= build-asan
CMAKE_FLAGS ?=
APP         = $(BUILD)/vornik
CTEST_JOBS ?= 2

.PHONY: deps configure build run test bench screenshot clean

deps:
	@scripts/install-deps

$(BUILD)/build.ninja: | deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) >/dev/null

configure: deps $(BUILD)/build.ninja

build: configure
	@cmake --build $(BUILD)

# The library lists the current folder, so the trainer starts inside the practice texts it ships.
run: build
	@mkdir -p $(BUILD)/library && cp -n assets/library/* $(BUILD)/library/ 2>/dev/null || true
	@cd $(BUILD)/library && ../vornik

test: build
	@QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD) --output-on-failure -j $(CTEST_JOBS)

bench: build
	@cmake --build $(BUILD) --target benchmarks
	@scripts/run-benchmarks $(BUILD)

screenshot: build
	@scripts/screenshot $(APP) screenshot.png

clean:
	@rm -rf $(BUILD) $(ASAN_BUILD)
