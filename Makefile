# The two commands of the README: `make run` opens the window, `make test` runs every test.
# Both install the missing Debian packages first and build into build/.

BUILD_DIR ?= build
EDITION ?= Snow
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)

.PHONY: all setup build run test bench format clean

all: build

setup:
	@scripts/setup-debian

build: setup
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) > $(BUILD_DIR).configure.log \
		|| { cat $(BUILD_DIR).configure.log; exit 1; }
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@if [ -z "$${DISPLAY:-}" ] && [ -z "$${WAYLAND_DISPLAY:-}" ]; then \
		echo "Ostavel needs a display, and neither DISPLAY nor WAYLAND_DISPLAY is set: on a machine without one, run it under a virtual X server with 'xvfb-run -a make run'."; \
		exit 1; \
	fi
	./$(BUILD_DIR)/Ostavel$(EDITION)

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR) $(BUILD_DIR).configure.log
