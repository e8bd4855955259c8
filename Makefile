# The README's commands. `make test` is what CI runs.

BUILD_DIR ?= build

# Debian packages the build and the tests need.
BUILD_DEPS := cmake ninja-build g++ make pkg-config
TEST_DEPS := libgtest-dev libgmock-dev libbenchmark-dev
# Music: the synthesizer, its General MIDI soundfont, the audio device, the tune's score
# tool, and clang's libFuzzer for the song file fuzzer.
MUSIC_DEPS := libfluidsynth-dev timgm6mb-soundfont libsdl2-dev libasound2-dev python3 \
  clang libclang-rt-dev

.PHONY: all deps build test play bench clean

all: build

deps:
	@tools/install-deps.sh $(BUILD_DEPS) $(TEST_DEPS) $(MUSIC_DEPS)

build: deps
	@# Ninja when present; a build folder keeps the generator it was made with.
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  $$([ ! -f $(BUILD_DIR)/CMakeCache.txt ] && command -v ninja >/dev/null && echo "-G Ninja")
	cmake --build $(BUILD_DIR)

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure

play: build
	@echo "The game's window is not built yet: only the rules and the window manager core exist." >&2
	@exit 1

bench: build
	@set -e; for b in $(BUILD_DIR)/bench/*_bench; do [ -x "$$b" ] && "$$b"; done

clean:
	rm -rf $(BUILD_DIR)
