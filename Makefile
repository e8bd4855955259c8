# The README's commands. `make test` is what CI runs.

BUILD_DIR ?= build
# The same suite built with AddressSanitizer and UndefinedBehaviorSanitizer.
SANITIZE_DIR ?= build-asan

# Debian packages the build and the tests need.
BUILD_DEPS := cmake ninja-build g++ make pkg-config python3 \
  libfreetype-dev libfontconfig-dev libpng-dev \
  libfluidsynth-dev libsdl2-dev libasound2-dev
# `make package`: CPack finds the programs with file and their libraries with dpkg-shlibdeps.
PACKAGE_DEPS := dpkg-dev file
# The proportional and fixed Japanese Gothic faces that stand in for the system font, and
# the General MIDI soundfont the tune plays through.
RUN_DEPS := fontconfig fonts-ipafont-gothic timgm6mb-soundfont
# The tests also draw with a Latin-only face, compile the resource script as the Windows
# build will, fuzz song files with clang's libFuzzer, try audio drivers with PipeWire's
# library present but no daemon, as on many desktops, and validate the desktop entry and
# the AppStream file.
TEST_DEPS := libgtest-dev libgmock-dev libbenchmark-dev fonts-dejavu-core \
  binutils-mingw-w64-i686 clang libclang-rt-dev \
  xvfb xdotool imagemagick libx11-dev libpipewire-0.3-0 \
  desktop-file-utils appstream

.PHONY: all deps configure build sanitize test package play bench clean

all: build

deps:
	@tools/install-deps.sh $(BUILD_DEPS) $(PACKAGE_DEPS) $(RUN_DEPS) $(TEST_DEPS)

configure: deps
	@# Ninja when present; a build folder keeps the generator it was made with.
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  $$([ ! -f $(BUILD_DIR)/CMakeCache.txt ] && command -v ninja >/dev/null && echo "-G Ninja")

build: configure
	cmake --build $(BUILD_DIR)

sanitize: deps
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDISCFIRE_SANITIZE=ON \
	  $$([ ! -f $(SANITIZE_DIR)/CMakeCache.txt ] && command -v ninja >/dev/null && echo "-G Ninja")
	cmake --build $(SANITIZE_DIR)

test: build sanitize
	ctest --test-dir $(BUILD_DIR) --output-on-failure
	ctest --test-dir $(SANITIZE_DIR) --output-on-failure

# A Debian package of the game, in $(BUILD_DIR)/.
package: build
	cmake --build $(BUILD_DIR) --target package

play: configure
	cmake --build $(BUILD_DIR) --target discfire
	$(BUILD_DIR)/discfire

bench: build
	@set -e; for b in $(BUILD_DIR)/bench/*_bench; do [ -x "$$b" ] && "$$b"; done

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR)
