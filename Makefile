# Thin front door over CMake. `make run` builds and starts the viewer; `make test` builds and
# runs the whole test suite. Both install the Debian packages they need when run as root.

BUILD      ?= build
JOBS       ?= $(shell nproc)
BUILD_PACKAGES = cmake make g++ qtbase5-dev qttools5-dev qttools5-dev-tools
TEST_PACKAGES  = $(BUILD_PACKAGES) xauth xvfb desktop-file-utils dpkg-dev file

.PHONY: run build test bench clean

build:
	@tools/ensure-packages.sh $(BUILD_PACKAGES)
	cmake -S . -B $(BUILD)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/src/corvane

test:
	@tools/ensure-packages.sh $(TEST_PACKAGES)
	cmake -S . -B $(BUILD)
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD)
