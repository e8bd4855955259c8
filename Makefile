# The README's commands. `make test` is what CI runs.

BUILD_DIR ?= build
# The same suite built with AddressSanitizer and UndefinedBehaviorSanitizer.
SANITIZE_DIR ?= build-asan

# Debian packages, by what needs them. `make play` installs only BUILD_DEPS and RUN_DEPS;
# `make package` adds PACKAGE_DEPS, and `make test` everything (CI runs it on a fresh machine).
BUILD_DEPS := cmake ninja-build g++ make pkg-config python3 \
  libfreetype-dev libfontconfig-dev libpng-dev \
  libfluidsynth-dev libsdl2-dev libasound2-dev libx11-dev \
  libwayland-dev libdecor-0-dev
# The proportional and fixed Japanese Gothic faces that stand in for the system font, and
# the General MIDI soundfont the tune plays through. On Wayland, libdecor draws the window
# frame where the compositor does not, through a plugin it loads at run time.
RUN_DEPS := fontconfig fonts-ipafont-gothic timgm6mb-soundfont libdecor-0-plugin-1-cairo
# `make package`: CPack finds the programs with file and their libraries with dpkg-shlibdeps;
# gzip compresses the manual page and the changelog.
PACKAGE_DEPS := dpkg-dev file gzip
# The tests also draw with a Latin-only face, compile the resource script as the Windows
# build will, fuzz song files with clang's libFuzzer, try audio drivers with PipeWire's
# library present but no daemon, as on many desktops, validate the desktop entry and the
# AppStream file, check the package with lintian and the manual page with man, and run the
# game under a real Wayland compositor.
TEST_DEPS := libgtest-dev libgmock-dev libbenchmark-dev fonts-dejavu-core \
  binutils-mingw-w64-i686 clang libclang-rt-dev \
  xvfb xdotool imagemagick libpipewire-0.3-0 \
  desktop-file-utils appstream lintian man-db weston

# The extra packages a goal needs besides building and running; its prerequisites see them.
EXTRA_DEPS :=
test sanitize bench: EXTRA_DEPS = $(PACKAGE_DEPS) $(TEST_DEPS)
package: EXTRA_DEPS = $(PACKAGE_DEPS)
# The tests are configured when GoogleTest is there (AUTO); `make test` requires them.
TESTS := AUTO
test: TESTS = ON

.PHONY: all deps test-deps configure build sanitize test package play bench screenshot clean windows \
  wine-deps test-windows web serve-web web-driver test-web bench-web

all: build

deps:
	@tools/install-deps.sh $(BUILD_DEPS) $(RUN_DEPS) $(EXTRA_DEPS)

# Everything `make test` installs, for a developer's machine.
test-deps:
	@tools/install-deps.sh $(BUILD_DEPS) $(RUN_DEPS) $(PACKAGE_DEPS) $(TEST_DEPS)

configure: deps
	@# Ninja when present; a build folder keeps the generator it was made with.
	@# Configured for /usr, where its package installs it: the program knows the tune's folder.
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDISCFIRE_TESTS=$(TESTS) \
	  -DCMAKE_INSTALL_PREFIX=/usr \
	  $$([ ! -f $(BUILD_DIR)/CMakeCache.txt ] && command -v ninja >/dev/null && echo "-G Ninja")

build: configure
	cmake --build $(BUILD_DIR)

sanitize: deps
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDISCFIRE_SANITIZE=ON -DDISCFIRE_TESTS=ON \
	  $$([ ! -f $(SANITIZE_DIR)/CMakeCache.txt ] && command -v ninja >/dev/null && echo "-G Ninja")
	cmake --build $(SANITIZE_DIR)

# Two at a time: every test keeps its files, displays and installations to itself.
test: build sanitize
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j2
	ctest --test-dir $(SANITIZE_DIR) --output-on-failure -j2

# A Debian package of the game, in $(BUILD_DIR)/.
package: build
	cmake --build $(BUILD_DIR) --target package

play: configure
	cmake --build $(BUILD_DIR) --target discfire
	$(BUILD_DIR)/discfire

bench: build
	@set -e; for b in $(BUILD_DIR)/bench/*_bench; do [ -x "$$b" ] && "$$b"; done

# docs/board.png: a replayed game at 33 s. With the generator seeded by tick 275, three discs
# are clicked too early, then disc 3 at its target and disc 4 seven steps late.
screenshot: configure
	cmake --build $(BUILD_DIR) --target discfire-replay
	$(BUILD_DIR)/discfire-replay --start-tick 275 --click 100:56:176 --click 5000:136:176 \
	  --click 10000:216:176 --click 32868:296:176 --click 32868:376:176 \
	  --frame 33400:docs/board.png --close 34000 >/dev/null

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(WIN_BUILD_DIR) $(WIN64_BUILD_DIR) $(WEB_BUILD_DIR)

# The Windows program: build-win/discfire.exe and DISCFIRE.MID beside it, cross-compiled for
# 32-bit Windows with MinGW-w64.
WIN_BUILD_DIR ?= build-win
WIN_DEPS := cmake ninja-build make python3 g++-mingw-w64-i686-win32 binutils-mingw-w64-i686
# The .exe under Wine in Xvfb. Where the kernel cannot run 32-bit code, the same sources are
# also built for 64-bit Windows and run under 64-bit Wine (tests/wine/wine_env.sh).
WIN64_BUILD_DIR ?= build-win64
WINE_DEPS := wine wine32:i386 wine64 xvfb xdotool imagemagick fonts-ipafont-gothic locales \
  g++-mingw-w64-x86-64-win32

# $(call win-build,DIR,TOOLCHAIN,TARGETS)
win-build = cmake -S . -B $(1) -DCMAKE_TOOLCHAIN_FILE=cmake/$(2).cmake -DCMAKE_BUILD_TYPE=Release \
	  $$([ ! -f $(1)/CMakeCache.txt ] && command -v ninja >/dev/null && echo "-G Ninja") && \
	cmake --build $(1) $(3)

windows:
	@tools/install-deps.sh $(WIN_DEPS)
	$(call win-build,$(WIN_BUILD_DIR),mingw-i686,)

wine-deps:
	@dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
	@tools/install-deps.sh $(WINE_DEPS)

test-windows: windows build wine-deps
	cmake --build $(WIN_BUILD_DIR) --target wine_helpers
	$(call win-build,$(WIN64_BUILD_DIR),mingw-x86_64,--target discfire wine_helpers)
	tests/wine/wine_test.sh $(BUILD_DIR) $(WIN_BUILD_DIR) $(WIN64_BUILD_DIR)

# The browser's build: $(WEB_BUILD_DIR)/site/, static files for any web server. emscripten
# compiles FreeType from Debian's source package; fontTools subsets the Japanese Gothic.
WEB_BUILD_DIR ?= build-web
WEB_DEPS := cmake ninja-build make python3 dpkg-dev emscripten fonttools python3-fonttools \
  fonts-ipafont-gothic
# The site's test drives Debian's Chromium through npm's playwright-core (tests/web/).
WEB_TEST_DEPS := chromium imagemagick
# Serves the site on 127.0.0.1 with the cross-origin isolation headers it needs.
WEB_PORT ?= 8000

web:
	@tools/install-deps.sh $(WEB_DEPS)
	@ft=$$(tools/fetch-source.sh freetype $(WEB_BUILD_DIR)/source) && \
	cmake -S . -B $(WEB_BUILD_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/emscripten.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DDISCFIRE_FREETYPE_SOURCE=$$(realpath $$ft) \
	  $$([ ! -f $(WEB_BUILD_DIR)/CMakeCache.txt ] && command -v ninja >/dev/null && echo "-G Ninja")
	cmake --build $(WEB_BUILD_DIR)

serve-web: web
	python3 tools/serve_web.py $(WEB_BUILD_DIR)/site --port $(WEB_PORT)

# The site in headless Chromium against the replay tool's frames (tests/web/web_test.mjs).
# npm installs the test's driver from its lock file into the build folder.
web-driver: web
	@tools/install-deps.sh $(WEB_TEST_DEPS)
	@# Node.js may come from elsewhere than Debian, with its own npm.
	@command -v npm >/dev/null || tools/install-deps.sh nodejs npm
	@mkdir -p $(WEB_BUILD_DIR)/test
	@cp tests/web/package.json tests/web/package-lock.json tests/web/web_test.mjs \
	  bench/web_bench.mjs $(WEB_BUILD_DIR)/test/
	cd $(WEB_BUILD_DIR)/test && npm ci --no-audit --no-fund --loglevel=error

test-web: web-driver
	cmake --build $(BUILD_DIR) --target discfire-replay 2>/dev/null || \
	  { $(MAKE) configure && cmake --build $(BUILD_DIR) --target discfire-replay; }
	node $(WEB_BUILD_DIR)/test/web_test.mjs $(WEB_BUILD_DIR)/site $(BUILD_DIR)/discfire-replay \
	  tools/serve_web.py

# docs/benchmarks.md's web figures, on this machine.
bench-web: web-driver
	node $(WEB_BUILD_DIR)/test/web_bench.mjs $(WEB_BUILD_DIR)/site $(WEB_BUILD_DIR)/bench \
	  tools/serve_web.py
