# The README's commands. `make test` is what CI runs.

BUILD_DIR ?= build

# Debian packages the build and the tests need.
BUILD_DEPS := cmake ninja-build g++ make pkg-config python3 \
  libfreetype-dev libfontconfig-dev libpng-dev \
  libfluidsynth-dev libsdl2-dev libasound2-dev
# The proportional and fixed Japanese Gothic faces that stand in for the system font, and
# the General MIDI soundfont the tune plays through.
RUN_DEPS := fontconfig fonts-ipafont-gothic timgm6mb-soundfont
# The tests also draw with a Latin-only face, compile the resource script as the Windows
# build will, and fuzz song files with clang's libFuzzer.
TEST_DEPS := libgtest-dev libgmock-dev libbenchmark-dev fonts-dejavu-core \
  binutils-mingw-w64-i686 clang libclang-rt-dev \
  xvfb xdotool imagemagick libx11-dev

.PHONY: all deps configure build test play bench screenshot clean

all: build

deps:
	@tools/install-deps.sh $(BUILD_DEPS) $(RUN_DEPS) $(TEST_DEPS)

configure: deps
	@# Ninja when present; a build folder keeps the generator it was made with.
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  $$([ ! -f $(BUILD_DIR)/CMakeCache.txt ] && command -v ninja >/dev/null && echo "-G Ninja")

build: configure
	cmake --build $(BUILD_DIR)

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure

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
	rm -rf $(BUILD_DIR)
