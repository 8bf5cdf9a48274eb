# The two commands of the README: `make run` opens the window, `make test` runs every test.
# Both install the missing Debian packages first and build into build/.

BUILD_DIR ?= build
SANITIZE_DIR ?= build-sanitize
WINDOWS_DIR ?= build-windows
WEB_DIR ?= build-web
WEB_PORT ?= 8000
EDITION ?= Snow
BUILD_TYPE ?= Release
JOBS ?= $(shell nproc)
# No "Entering directory" chatter from the builds' own makes.
MAKEFLAGS += --no-print-directory

# make test builds with warnings as errors, every other target without, and only make bench
# builds the benchmark: each configures its folder with the settings it wants, so none keeps
# what an earlier one left.
test: WARNINGS_AS_ERRORS = ON
settings = -DCMAKE_COMPILE_WARNING_AS_ERROR=$(if $(WARNINGS_AS_ERRORS),ON,OFF) \
	-DOSTAVEL_BENCH=$(if $(BENCH),ON,OFF)

# configure FOLDER, OPTIONS: configures a build folder quietly, showing the log if it fails.
configure = @cmake -S . -B $(1) $(2) $(settings) > $(1).configure.log || { cat $(1).configure.log; exit 1; }

.PHONY: all setup build sanitize-build windows web web-run run test bench format clean

all: build

setup:
	@scripts/setup-debian

build: setup
	$(call configure,$(BUILD_DIR),-DCMAKE_BUILD_TYPE=$(BUILD_TYPE))
	cmake --build $(BUILD_DIR) -j $(JOBS)

# The test suite once more, built with AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize-build: setup
	$(call configure,$(SANITIZE_DIR),-DCMAKE_BUILD_TYPE=Debug -DOSTAVEL_SANITIZE=ON)
	cmake --build $(SANITIZE_DIR) -j $(JOBS)

# The Windows programs, OstavelSnow.exe and OstavelStage.exe, cross-built with MinGW-w64, with
# an installer and a zip of each, and their tests, which run under Wine.
windows: setup
	$(call configure,$(WINDOWS_DIR),-DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
		-DCMAKE_TOOLCHAIN_FILE=app/win32/toolchain-mingw64.cmake)
	cmake --build $(WINDOWS_DIR) -j $(JOBS)

# The page of each edition, compiled by emscripten into build-web/: a folder of static files
# for each, and its zip, Ostavel<Edition>-<version>-web.zip.
web: setup
	$(call configure,$(WEB_DIR),-DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
		-DCMAKE_TOOLCHAIN_FILE=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
	cmake --build $(WEB_DIR) -j $(JOBS)

# Serves the page of EDITION on 127.0.0.1 until stopped.
web-run: web
	@echo "Ostavel$(EDITION) is at http://127.0.0.1:$(WEB_PORT)/ (Ctrl-C stops it)"
	@cd $(WEB_DIR)/Ostavel$(EDITION) && python3 -m http.server --bind 127.0.0.1 $(WEB_PORT) >/dev/null

run: build
	@if [ -z "$${DISPLAY:-}" ] && [ -z "$${WAYLAND_DISPLAY:-}" ]; then \
		echo "Ostavel needs a display, and neither DISPLAY nor WAYLAND_DISPLAY is set: on a machine without one, run it under a virtual X server with 'xvfb-run -a make run'."; \
		exit 1; \
	fi
	./$(BUILD_DIR)/Ostavel$(EDITION)

# Three runs, each to its end whatever the others did: the tests built with the sanitizers
# (packaging tests aside), the Windows programs under Wine, and the whole Linux suite with the
# package checks. Then what passed and what failed; any failure fails make test.
ctest_run = ( cd $(2) && $(3) ctest --output-on-failure -j $(JOBS) $(4) ) \
	&& passed="$$passed\n  passed: $(1)" || failed="$$failed\n  FAILED: $(1)";
test: build sanitize-build windows web
	@passed= failed=; \
	$(call ctest_run,the tests built with AddressSanitizer and UBSan,$(SANITIZE_DIR),\
		QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers/lsan.supp:print_suppressions=0,\
		-LE packaging) \
	$(call ctest_run,the Windows programs under Wine,$(WINDOWS_DIR)) \
	$(call ctest_run,the pages in headless Chromium,$(WEB_DIR)) \
	$(call ctest_run,the Linux programs and the Debian packages,$(BUILD_DIR),\
		QT_QPA_PLATFORM=offscreen) \
	printf "make test:$$passed$$failed\n"; test -z "$$failed"

# The benchmark, on the offscreen platform, on xcb under Xvfb, on Wayland under a headless
# Weston, under Wine on Windows, and the page in headless Chromium: each platform's table as
# soon as it is done. Only `make bench` builds the benchmark's programs. A quick look: make
# bench BENCH_ARGS="--games Numbers3 --runs 1"
bench: BENCH = ON
bench_prefix = $(CURDIR)/$(WINDOWS_DIR)/bench/wineprefix
bench_subject = $(BUILD_DIR)/bench/ostavel_bench
bench: build windows web
	@status=0; \
	QT_QPA_PLATFORM=offscreen bench/run-bench offscreen $(bench_subject) $(BENCH_ARGS) || status=1; \
	QT_QPA_PLATFORM=xcb xvfb-run -a bench/run-bench xcb $(bench_subject) $(BENCH_ARGS) || status=1; \
	scripts/on-headless-weston bench/run-bench wayland $(bench_subject) $(BENCH_ARGS) || status=1; \
	{ test -d $(bench_prefix) || scripts/make-wine-prefix $(bench_prefix); } && \
	scripts/on-wine $(bench_prefix) xvfb-run -a sh -c 'evilwm -fn fixed >/dev/null 2>&1 & \
		bench/run-bench windows $(WINDOWS_DIR)/bench/ostavel_bench.exe $(BENCH_ARGS)' || status=1; \
	bench/web/run-web-bench $(WEB_DIR)/Ostavel$(EDITION) $(BENCH_ARGS) || status=1; \
	exit $$status

format:
	@scripts/setup-debian clang-format
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR) $(BUILD_DIR).configure.log $(SANITIZE_DIR) $(SANITIZE_DIR).configure.log \
		$(WINDOWS_DIR) $(WINDOWS_DIR).configure.log $(WEB_DIR) $(WEB_DIR).configure.log
