# Thin front door over CMake. `make run` builds the viewer alone and starts it; `make test`
# builds and runs the whole test suite. Both install the Debian packages they need when run as
# root. `make install` installs the build into ~/.local, or PREFIX; `make uninstall` removes it.
# SPDX-License-Identifier: GPL-3.0-or-later

# Qt's major version for `make run`, `make install` and `make bench`: 5 (the default) or 6, each
# in a tree of its own. `make test` builds and tests both.
CORVANE_QT ?= 5
QT5_BUILD  ?= build
QT6_BUILD  ?= build-qt6
JOBS       ?= $(shell nproc)
# qttranslations5-l10n and qt6-translations-l10n: Qt's own texts (context menus, dialogs) in
# Spanish. Qt 6's lupdate and lrelease are in qt6-l10n-tools.
QT5_PACKAGES = qtbase5-dev qttools5-dev qttools5-dev-tools qttranslations5-l10n
QT6_PACKAGES = qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools \
               qt6-translations-l10n
ifeq ($(CORVANE_QT),6)
BUILD       ?= $(QT6_BUILD)
BENCH_BUILD ?= build-release-qt6
QT_PACKAGES  = $(QT6_PACKAGES)
else ifeq ($(CORVANE_QT),5)
BUILD       ?= $(QT5_BUILD)
BENCH_BUILD ?= build-release
QT_PACKAGES  = $(QT5_PACKAGES)
else
$(error CORVANE_QT must be 5 or 6)
endif
# RE2 matches the patterns a user types in linear time; SQLite keeps recordings.
LIB_PACKAGES   = pkgconf libre2-dev libsqlite3-dev
BUILD_PACKAGES = cmake make g++ $(QT_PACKAGES) $(LIB_PACKAGES)
# rsyslog and bsdutils (logger) for the test of the rsyslog rule, which runs a private daemon
# and never talks to the system's.
TEST_PACKAGES  = cmake make g++ $(LIB_PACKAGES) $(QT5_PACKAGES) $(QT6_PACKAGES) xauth xvfb desktop-file-utils \
                 dpkg-dev file python3 rsyslog bsdutils
# The sanitizer and fuzzer builds use Qt 5.
FUZZ_PACKAGES  = cmake make g++ $(LIB_PACKAGES) $(QT5_PACKAGES) clang libclang-rt-14-dev

# The sanitizer suite and the fuzzers build in trees of their own.
ASAN_BUILD   ?= build-asan
TSAN_BUILD   ?= build-tsan
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 60
# `make install` puts the build here: the programs in $(PREFIX)/bin.
PREFIX       ?= $(HOME)/.local
# The benchmark wants an optimised build, in a tree of its own (build-release, or
# build-release-qt6 with CORVANE_QT=6).
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

.PHONY: run build install uninstall test test-qt5 test-qt6 test-sanitize test-threads fuzz bench clean

build:
	@tools/ensure-packages.sh $(BUILD_PACKAGES)
	cmake -S . -B $(BUILD) -DCORVANE_QT=$(CORVANE_QT)
	cmake --build $(BUILD) -j $(JOBS)

# The viewer and what it links, nothing more: the tests wait for `make test`.
run:
	@tools/ensure-packages.sh $(BUILD_PACKAGES)
	cmake -S . -B $(BUILD) -DCORVANE_QT=$(CORVANE_QT)
	cmake --build $(BUILD) -j $(JOBS) --target corvane
	$(BUILD)/src/corvane

# The viewer, corvane-send, the desktop entry, the icon, the licences and the client library
# (header, archive, CMake package), under PREFIX. CMake lists what it installed in the build
# tree's install_manifest.txt, which the next `cmake --install` of the tree (the tests make one)
# writes again; the list is kept under PREFIX, with those of earlier installs there, for `make
# uninstall`.
INSTALLED = $(PREFIX)/share/corvane/installed-files.txt

install: build
	cmake --install $(BUILD) --prefix "$(PREFIX)"
	@mkdir -p "$(dir $(INSTALLED))"
	@awk NF $(BUILD)/install_manifest.txt $(wildcard $(INSTALLED)) | sort -u > "$(INSTALLED).new"
	@mv "$(INSTALLED).new" "$(INSTALLED)"
	@case ":$$PATH:" in *":$(PREFIX)/bin:"*) ;; \
	*) echo "$(PREFIX)/bin is not on your PATH yet: see \"Install and uninstall\" in README.md." ;; esac

# Removes every file `make install` put under PREFIX, and the folders of Corvane's own.
uninstall:
	tools/uninstall.sh "$(INSTALLED)"

test:
	@tools/ensure-packages.sh $(TEST_PACKAGES)
	$(MAKE) --no-print-directory test-qt5
	$(MAKE) --no-print-directory test-qt6
	$(MAKE) --no-print-directory test-sanitize
	$(MAKE) --no-print-directory test-threads
	$(MAKE) --no-print-directory fuzz

# The normal suite, built with Qt 5 in build/ and with Qt 6 in build-qt6/.
test-qt5 test-qt6: test-qt%:
	@tools/ensure-packages.sh $(TEST_PACKAGES)
	cmake -S . -B $(QT$*_BUILD) -DCORVANE_QT=$*
	cmake --build $(QT$*_BUILD) -j $(JOBS)
	cd $(QT$*_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize:
	@tools/ensure-packages.sh $(TEST_PACKAGES)
	cmake -S . -B $(ASAN_BUILD) -DCORVANE_QT=5 -DCORVANE_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS)

# The whole suite again, built with ThreadSanitizer: the socket is read on a thread of its own
# and hands messages to the window's thread. Qt itself is not built with it, so races inside
# Qt's own code are not looked for (tests/tsan.supp).
test-threads:
	@tools/ensure-packages.sh $(TEST_PACKAGES)
	cmake -S . -B $(TSAN_BUILD) -DCORVANE_QT=5 -DCORVANE_THREAD_SANITIZE=ON
	cmake --build $(TSAN_BUILD) -j $(JOBS)
	cd $(TSAN_BUILD) && $(TSAN_ENV) ctest --output-on-failure -j $(JOBS)

# Builds the libFuzzer targets with clang and runs each for FUZZ_SECONDS over its corpus.
fuzz:
	@tools/ensure-packages.sh $(FUZZ_PACKAGES)
	cmake -S . -B $(FUZZ_BUILD) -DCORVANE_QT=5 -DCMAKE_CXX_COMPILER=clang++ -DCORVANE_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_datagram fuzz_config
	tests/fuzz/run-fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# Floods a window offscreen and prints throughput, stalls, loss and memory (about a minute;
# BENCH_ARGS=--quick for a short run; CORVANE_QT=6 for Qt 6). See docs/performance.md.
bench:
	@tools/ensure-packages.sh $(BUILD_PACKAGES)
	cmake -S . -B $(BENCH_BUILD) -DCORVANE_QT=$(CORVANE_QT) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target corvane-bench
	$(BENCH_BUILD)/bench/corvane-bench $(BENCH_ARGS)

clean:
	rm -rf $(QT5_BUILD) $(QT6_BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD) build-release \
	    build-release-qt6
