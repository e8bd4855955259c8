// libFuzzer over the way a song file takes when it is opened: written to disk, read and
// checked, and, when accepted, loaded by the synthesizer's player and run through to its
// end the fast way (a seek sends every event but the notes).
#include <fluidsynth.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "mci/song.h"

namespace {

fluid_synth_t* Synth()
{
    static fluid_synth_t* synth = [] {
        for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level)
            fluid_set_log_function(level, nullptr, nullptr);
        fluid_settings_t* settings = new_fluid_settings();
        fluid_settings_setint(settings, "player.reset-synth", 0);
        return new_fluid_synth(settings);  // no soundfont: notes find no instrument
    }();
    return synth;
}

char g_path[] = "/tmp/song_fuzzer.XXXXXX";

const char* Path()
{
    static const bool made = [] {
        close(mkstemp(g_path));
        atexit([] { unlink(g_path); });
        return true;
    }();
    (void)made;
    return g_path;
}

void Render()
{
    static float buffer[2 * 256];
    fluid_synth_write_float(Synth(), 256, buffer, 0, 2, buffer, 1, 2);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FILE* f = fopen(Path(), "wb");
    fwrite(data, 1, size, f);
    fclose(f);
    Song song;
    if (ReadSong(Path(), &song) != SongError::None)
        return 0;
    if (song.bytes.size() != size || song.lengthMs < kSongMinMs || song.lengthMs > kSongMaxMs)
        abort();
    fluid_player_t* player = new_fluid_player(Synth());
    fluid_player_add_mem(player, song.bytes.data(), song.bytes.size());
    fluid_player_play(player);
    Render();  // loads the file
    fluid_player_seek(player, static_cast<int>(song.endTick));
    Render();
    delete_fluid_player(player);
    fluid_synth_system_reset(Synth());
    return 0;
}
