// What the sequencer learns of a Standard MIDI File before it lets the synthesizer's player
// near it. The player takes nearly any bytes and fails later, or plays silence for hours, so
// a file is read and checked whole here first, and its playing time bounded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A song is timed for at least this long, so a caller that loops on its end never spins.
constexpr uint64_t kSongMinMs = 1000;
// A song plays to its last event however long it is, but silence after its last note is
// cut to this: a broken file cannot hold the game silent for hours.
constexpr uint64_t kSongTrailMs = 10 * 1000;
// Nor can notes held for hours: no real song lasts this long. It also keeps the player's
// millisecond clock (an int) far from overflowing.
constexpr uint64_t kSongMaxMs = 6 * 60 * 60 * 1000;
// Larger files are refused unread. Memory sets the limit: the player keeps ~15 MB of events
// for each MiB of the densest file (a note event every 3.5 bytes), so 4 MiB may cost ~60 MB;
// the check here, on the window thread, ~4 ms a MiB. Long General MIDI songs run to a few
// hundred KB, rarely past 2 MB.
constexpr size_t kSongMaxBytes = 4 << 20;

struct Song {
    std::vector<uint8_t> bytes;  // the file, as the player gets it
    uint32_t endTick = 0;        // the player's position when the song is over
    uint64_t lengthMs = 0;       // time from the first tick to endTick, kSongMinMs..kSongMaxMs
};

enum class SongError { None, NotFound, Invalid };

// Reads and checks a file. Only a regular file is read (a FIFO would block, a device might
// never end); it must be a format 0 or 1 file with metrical timing whose every event is well
// formed and lies inside its track.
SongError ReadSong(const std::string& path, Song* song);
// Checks a file already in memory; false when the player must not get it.
bool ParseSong(const uint8_t* data, size_t size, Song* song);
