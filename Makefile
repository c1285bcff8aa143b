# Thin front door over CMake. `make run` builds and starts the viewer; `make test` builds and
# runs the whole test suite. Both install the Debian packages they need when run as root.
# `make install` installs the build into ~/.local, or PREFIX.

BUILD      ?= build
JOBS       ?= $(shell nproc)
# qttranslations5-l10n: Qt's own texts (context menus, dialogs) in Spanish.
BUILD_PACKAGES = cmake make g++ qtbase5-dev qttools5-dev qttools5-dev-tools qttranslations5-l10n
# rsyslog and bsdutils (logger) for the test of the rsyslog rule, which runs a private daemon
# and never talks to the system's.
TEST_PACKAGES  = $(BUILD_PACKAGES) xauth xvfb desktop-file-utils dpkg-dev file python3 \
                 rsyslog bsdutils
FUZZ_PACKAGES  = $(BUILD_PACKAGES) clang libclang-rt-14-dev

# The sanitizer suite and the fuzzers build in trees of their own.
ASAN_BUILD   ?= build-asan
TSAN_BUILD   ?= build-tsan
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 60
# `make install` puts the build here: the programs in $(PREFIX)/bin.
PREFIX       ?= $(HOME)/.local
# The benchmark wants an optimised build, in a tree of its own.
BENCH_BUILD  ?= build-release
BENCH_ARGS   ?=
# Qt is not built with the sanitizers; tests/lsan.supp names the few leaks inside Qt itself.
# intercept_tls_get_addr=0 works around a fault in the sanitizer runtimes of GCC 12 and clang
# 14: a loaded library's thread-local block that starts 16 bytes into a page is taken for glibc
# 2.19's layout, a range is read from the bytes before it, and LeakSanitizer's tracer crashes
# scanning it at exit ("Tracer caught signal 11"). Where the block lands depends on every
# allocation before it, so any change to the program can bring the crash on or take it away.
SANITIZER_ENV = QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=intercept_tls_get_addr=0 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

TSAN_ENV = QT_QPA_PLATFORM=offscreen \
	TSAN_OPTIONS=suppressions=$(CURDIR)/tests/tsan.supp:halt_on_error=1:second_deadlock_stack=1

.PHONY: run build install test test-sanitize test-threads fuzz bench clean

build:
	@tools/ensure-packages.sh $(BUILD_PACKAGES)
	cmake -S . -B $(BUILD)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/src/corvane

# The viewer, corvane-send, the desktop entry, the icon, the licence and the client library
# (header, archive, CMake package), under PREFIX.
install: build
	cmake --install $(BUILD) --prefix "$(PREFIX)"
	@case ":$$PATH:" in *":$(PREFIX)/bin:"*) ;; \
	*) echo "$(PREFIX)/bin is not on your PATH yet: see \"Install\" in README.md." ;; esac

test:
	@tools/ensure-packages.sh $(TEST_PACKAGES)
	cmake -S . -B $(BUILD)
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory test-sanitize
	$(MAKE) --no-print-directory test-threads
	$(MAKE) --no-print-directory fuzz

# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize:
	@tools/ensure-packages.sh $(TEST_PACKAGES)
	cmake -S . -B $(ASAN_BUILD) -DCORVANE_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS)

# The whole suite again, built with ThreadSanitizer: the socket is read on a thread of its own
# and hands messages to the window's thread. Qt itself is not built with it, so races inside
# Qt's own code are not looked for (tests/tsan.supp).
test-threads:
	@tools/ensure-packages.sh $(TEST_PACKAGES)
	cmake -S . -B $(TSAN_BUILD) -DCORVANE_THREAD_SANITIZE=ON
	cmake --build $(TSAN_BUILD) -j $(JOBS)
	cd $(TSAN_BUILD) && $(TSAN_ENV) ctest --output-on-failure -j $(JOBS)

# Builds the libFuzzer targets with clang and runs each for FUZZ_SECONDS over its corpus.
fuzz:
	@tools/ensure-packages.sh $(FUZZ_PACKAGES)
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DCORVANE_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_datagram fuzz_config
	tests/fuzz/run-fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# Floods a window offscreen and prints throughput, stalls, loss and memory (about a minute;
# BENCH_ARGS=--quick for a short run). See "Performance" in the README.
bench:
	@tools/ensure-packages.sh $(BUILD_PACKAGES)
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target corvane-bench
	$(BENCH_BUILD)/bench/corvane-bench $(BENCH_ARGS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD) $(BENCH_BUILD)
