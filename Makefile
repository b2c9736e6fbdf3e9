# Two commands do all the set-up on a fresh Debian 12 machine: `make run` and `make test`.
BUILD      ?= build
ASAN_BUILD ?= build-asan
CMAKE_FLAGS ?=
APP         = $(BUILD)/vornik
CTEST_JOBS ?= $(shell nproc)

.PHONY: deps configure build run install package test format-check e2e bench fuzz screenshot clean

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

# Installs under PREFIX (default /usr/local), staged below DESTDIR when that is given:
#   make install PREFIX=/usr DESTDIR=/tmp/stage
PREFIX  ?= /usr/local
DESTDIR ?=
install: build
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# $(BUILD)/vornik_<version>_amd64.deb, then lintian's verdict on it: any warning or error fails
# (the tags it still reports at lower levels are explained in the README).
package: build
	@scripts/install-deps package
	@cmake --build $(BUILD) --target package
	@lintian --fail-on warning,error $(BUILD)/vornik_*_amd64.deb

# The unit tests and the end-to-end suite on the normal build; then the same unit tests built
# with AddressSanitizer and UndefinedBehaviorSanitizer in $(ASAN_BUILD) (only what they run: the
# target test_programs), where any report fails them (tests/sanitizers/lsan.supp names the outside
# libraries whose leaks are not ours).
# The sanitizer build runs beside the first two at the lowest priority: the end-to-end suite's
# sound keeps its timing, and the build takes the processor time the tests leave. Its output goes
# to $(ASAN_BUILD)/build.log, shown when it fails; when the tests fail, it is stopped.
# QT_NO_GLIB: with GLib's event loop under Qt, Debian 12's leak checker crashes at exit on the
# thread-local storage of a GLib thread that has ended; Qt's own event loop avoids that.
test: build format-check
	@[ -f $(ASAN_BUILD)/build.ninja ] || \
	    cmake -S . -B $(ASAN_BUILD) -G Ninja $(CMAKE_FLAGS) -DVORNIK_SANITIZE=ON >/dev/null
	@nice -n 19 cmake --build $(ASAN_BUILD) --target test_programs >$(ASAN_BUILD)/build.log 2>&1 & \
	    sanitized=$$!; \
	    QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD) --output-on-failure -j $(CTEST_JOBS) && \
	    $(MAKE) --no-print-directory e2e || { pkill -P $$sanitized; kill $$sanitized; exit 1; }; \
	    wait $$sanitized || { cat $(ASAN_BUILD)/build.log; exit 1; }
	@QT_QPA_PLATFORM=offscreen QT_NO_GLIB=1 \
	    ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:check_initialization_order=1:strict_init_order=1 \
	    LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers/lsan.supp \
	    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(CTEST_JOBS)

# Every C++ file as .clang-format writes it; tables that formatting would spoil are fenced with
# "clang-format off/on" where they stand.
format-check: deps
	@git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

# Drives the built trainer through its window on a private X display and sound server, as a
# learner would (tests/e2e/run_e2e.py), heard through the project's own recorder (tests/audio).
e2e: build
	@scripts/install-deps e2e
	@tests/e2e/run_e2e.py $(BUILD)

bench: build
	@cmake --build $(BUILD) --target benchmarks
	@scripts/run-benchmarks $(BUILD)

# Fuzzes the readers of the learner's input (RTF, text files, web pages, numbers in boxes, words)
# with libFuzzer, each target for FUZZ_SECONDS. New inputs collect in $(FUZZ_BUILD)/corpus, inputs
# that fail in $(FUZZ_BUILD); a fixed failure's input belongs in tests/<folder>/corpus/<target>,
# which `make test` replays.
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS  = documents/rtf_reader documents/text_decoder fuzz/number_text fuzz/word_scanner \
                fuzz/html_page

fuzz:
	@scripts/install-deps fuzz
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DVORNIK_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_BUILD)
	@for entry in $(FUZZ_TARGETS); do \
	    target=$${entry#*/}; folder=tests/$${entry%/*}; dict=$$folder/$$target.dict; \
	    mkdir -p $(FUZZ_BUILD)/corpus/$$target && \
	    $(FUZZ_BUILD)/tests/fuzz/fuzz_$$target -max_total_time=$(FUZZ_SECONDS) \
	        $$([ -f $$dict ] && echo -dict=$$dict) -artifact_prefix=$(FUZZ_BUILD)/ \
	        $(FUZZ_BUILD)/corpus/$$target $$folder/corpus/$$target || exit 1; \
	done

screenshot: build
	@cmake --build $(BUILD) --target check-screens
	@scripts/screenshot $(APP) screenshot.png
	@mkdir -p docs && QT_QPA_PLATFORM=offscreen $(BUILD)/tools/check-screens \
	    docs/check-window.png docs/progress-chart.png

clean:
	@rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
