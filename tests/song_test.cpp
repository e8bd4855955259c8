// Checking a song file before the player gets it, and finding the file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "mci/mci.h"
#include "mci/song.h"
#include "midi_bytes.h"

namespace {

namespace fs = std::filesystem;

struct Playable {
    const char* what;
    Bytes file;
    uint64_t lengthMs;
    uint32_t endTick;
};

TEST(Song, TimesPlayableFilesOnTheirTempoMap)
{
    const Playable cases[] = {
        {"one note at the default tempo", OneNoteSong(2000), 2000, 1920},
        {"a tempo change halfway",
         Header(0, 1, 480) +
             TrackChunk(Tempo(0, 1000000) + Note(0, 480) + Tempo(0, 250000) + Note(0, 960) +
                        EndOfTrack()),
         1500, 1440},
        {"format 1: the conductor track sets the tempo, the longest track ends the song",
         Header(1, 3, 96) + TrackChunk(Tempo(0, 1000000) + EndOfTrack()) +
             TrackChunk(Note(0, 96) + EndOfTrack()) + TrackChunk(Note(192, 96) + EndOfTrack(96)),
         4000, 384},
        {"running status, program change, sysex, text and an unknown chunk",
         Header(0, 1, 480) + Chunk("XFIH", {1, 2, 3}) +
             TrackChunk(Bytes{0x00, 0xC0, 0x05, 0x00, 0x90, 60, 100} + VarLen(480) +
                        Bytes{64, 100, 0x00, 0xF0, 0x02, 0x7E, 0xF7, 0x00, 0xFF, 0x01, 0x02, 'h',
                              'i'} +
                        VarLen(1920) + Bytes{0x80, 60, 0, 0x00, 64, 0} + EndOfTrack()),
         2500, 2400},
        {"no end-of-track event: the last event ends it", Header(0, 1, 480) + TrackChunk(Note(0, 2880)),
         3000, 2880},
        {"what follows the end of track is not read",
         Header(0, 1, 480) + TrackChunk(Note(0, 1920) + EndOfTrack() + Bytes{0xF1, 0xF2}), 2000, 1920},
        {"a short song is timed for a second", OneNoteSong(100), kSongMinMs, 96},
        {"an empty song too", Header(0, 1, 480) + TrackChunk(EndOfTrack()), kSongMinMs, 0},
        {"a real song's length plays whole: 29 minutes",
         Header(0, 1, 480) + TrackChunk(Note(0, 29 * 60 * 960) + EndOfTrack()), 29 * 60 * 1000,
         29 * 60 * 960},
        {"rests after the last note are kept up to ten seconds",
         Header(0, 1, 480) + TrackChunk(Note(0, 1920) + EndOfTrack(8 * 960)), 10000, 9600},
        {"and cut there", Header(0, 1, 480) + TrackChunk(Note(0, 1920) + EndOfTrack(12 * 960)),
         2000 + kSongTrailMs, 1920 + 9600},
        {"hours of nothing after a note of 16.8 s",
         Header(0, 1, 1) + TrackChunk(Tempo(0, 0xFFFFFF) + Note(0, 1) + EndOfTrack(0x0FFFFFFF)),
         16777 + kSongTrailMs, 1},
        {"hours of nothing and no note at all",
         Header(0, 1, 1) + TrackChunk(Tempo(0, 0xFFFFFF) + EndOfTrack(0x0FFFFFFF)), kSongTrailMs,
         0},
        {"a note held for years stops at the cap",
         Header(0, 1, 1) + TrackChunk(Tempo(0, 0xFFFFFF) + Note(0, 0x0FFFFFFF) + EndOfTrack()),
         kSongMaxMs, 1287},  // 1287 quarters of 16.8 s
    };
    for (const Playable& c : cases) {
        Song song;
        ASSERT_TRUE(ParseSong(c.file.data(), c.file.size(), &song)) << c.what;
        EXPECT_EQ(song.lengthMs, c.lengthMs) << c.what;
        EXPECT_EQ(song.endTick, c.endTick) << c.what;
        EXPECT_EQ(song.bytes, c.file) << c.what;
    }
}

TEST(Song, RefusesFilesThePlayerWouldMisread)
{
    const Bytes track = TrackChunk(Note(0, 480) + EndOfTrack());
    const struct {
        const char* what;
        Bytes file;
    } cases[] = {
        {"nothing", {}},
        {"a header cut short", Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0}},
        {"another kind of file", Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 6, 0, 0, 0, 1, 1, 0xE0} + track},
        {"a header of seven bytes", Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 7, 0, 0, 0, 1, 1, 0xE0, 0} + track},
        {"format 2", Header(2, 1, 480) + track},
        {"format 0 with two tracks", Header(0, 2, 480) + track + track},
        {"no tracks", Header(1, 0, 480)},
        {"more tracks than the player keeps", Header(1, 129, 480) + track},
        {"an absurd track count", Header(1, 0xFFFF, 480) + track},
        {"division 0", Header(0, 1, 0) + track},
        {"SMPTE time", Header(0, 1, 0xE728) + track},
        {"fewer tracks than the header says", Header(1, 2, 480) + track},
        {"a track longer than the file", Header(0, 1, 480) + Bytes{'M', 'T', 'r', 'k'} + Be32(0x7FFFFFF0) + Note(0, 480)},
        {"a damaged chunk name", Header(0, 1, 480) + Chunk("\x01\xFFxx", {}) + track},
        {"running status with nothing to run", Header(0, 1, 480) + TrackChunk(Bytes{0x00, 60, 100} + EndOfTrack())},
        {"running status after a meta event",
         Header(0, 1, 480) + TrackChunk(Bytes{0x00, 0xFF, 0x01, 0x00, 0x00, 60, 100} + EndOfTrack())},
        {"a status byte as note data", Header(0, 1, 480) + TrackChunk(Bytes{0x00, 0x90, 0x90, 100} + EndOfTrack())},
        {"an event running past its track",
         Header(0, 1, 480) + TrackChunk(Bytes{0x00, 0x90, 60}) + TrackChunk(EndOfTrack())},
        {"a meta event longer than its track", Header(0, 1, 480) + TrackChunk(Bytes{0x00, 0xFF, 0x01, 0x7F, 'x'})},
        {"tempo 0", Header(0, 1, 480) + TrackChunk(Tempo(0, 0) + EndOfTrack())},
        {"a tempo of two bytes", Header(0, 1, 480) + TrackChunk(Bytes{0x00, 0xFF, 0x51, 0x02, 1, 2} + EndOfTrack())},
        {"an end of track with data", Header(0, 1, 480) + TrackChunk(Bytes{0x00, 0xFF, 0x2F, 0x01, 0x00})},
        {"a five-byte delta", Header(0, 1, 480) + TrackChunk(Bytes{0x81, 0x81, 0x81, 0x81, 0x01} + EndOfTrack())},
        {"a sysex escape", Header(0, 1, 480) + TrackChunk(Bytes{0x00, 0xF7, 0x01, 0x00} + EndOfTrack())},
        {"a real-time byte", Header(0, 1, 480) + TrackChunk(Bytes{0x00, 0xF8} + EndOfTrack())},
        {"ticks past 2^30", Header(0, 1, 480) + TrackChunk(Note(0x0FFFFFFF, 0x0FFFFFFF) + Note(0x0FFFFFFF, 0x0FFFFFFF) +
                                                            Note(0x0FFFFFFF, 0x0FFFFFFF) + EndOfTrack())},
    };
    for (const auto& c : cases) {
        Song song;
        EXPECT_FALSE(ParseSong(c.file.data(), c.file.size(), &song)) << c.what;
    }
}

class InTempDir : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/song_test.XXXXXX";
        ASSERT_TRUE(mkdtemp(tmpl));
        dir = tmpl;
        old = fs::current_path();
        fs::current_path(dir);
    }
    void TearDown() override
    {
        fs::current_path(old);
        fs::remove_all(dir);
    }
    fs::path dir, old;
};

using ReadingSongs = InTempDir;

TEST_F(ReadingSongs, ReadsOnlyRegularFilesOfSongSize)
{
    WriteFile("song.mid", OneNoteSong(2000));
    WriteFile("garbage.mid", Bytes(100, 0x55));
    WriteFile("huge.mid", OneNoteSong(2000) + Bytes(kSongMaxBytes, 0));
    // Real General MIDI files may pass a megabyte; the limit is the last byte it allows.
    const Bytes small = OneNoteSong(2000);
    const Bytes head(small.begin(), small.begin() + 14), track(small.begin() + 14, small.end());
    WriteFile("large.mid", head + Chunk("XFIH", Bytes(2 << 20, 0)) + track);
    WriteFile("largest.mid", head + Chunk("XFIH", Bytes(kSongMaxBytes - small.size() - 8, 0)) + track);
    fs::create_directory("folder.mid");
    ASSERT_EQ(mkfifo("pipe.mid", 0600), 0);  // reading it would wait for a writer forever
    const struct {
        const char* path;
        SongError error;
    } cases[] = {
        {"song.mid", SongError::None},         {"missing.mid", SongError::NotFound},
        {"folder.mid", SongError::NotFound},   {"pipe.mid", SongError::Invalid},
        {"garbage.mid", SongError::Invalid},   {"huge.mid", SongError::Invalid},
        {"/dev/zero", SongError::Invalid},     {"large.mid", SongError::None},
        {"largest.mid", SongError::None},
    };
    for (const auto& c : cases) {
        Song song;
        EXPECT_EQ(ReadSong(c.path, &song), c.error) << c.path;
    }
}

using FindingFiles = InTempDir;

TEST_F(FindingFiles, LooksInTheCurrentDirectoryThenBesideTheProgramThenItsDataDirectory)
{
    char self[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    ASSERT_GT(n, 0);
    const fs::path exeDir = fs::path(std::string(self, static_cast<size_t>(n))).parent_path();
    const fs::path dataDir = exeDir / DISCFIRE_DATA_FROM_BIN;
    const std::string name = "find-" + std::to_string(getpid()) + ".mid";
    // The folders this test makes, innermost first, to be removed again.
    std::vector<fs::path> made;
    for (fs::path d = dataDir; !fs::exists(d); d = d.parent_path())
        made.push_back(d);
    fs::create_directories(dataDir);
    const struct {
        bool here, beside, data;
        fs::path found;
    } cases[] = {
        {true, true, true, name},
        {false, true, true, exeDir / name},
        {false, false, true, dataDir / name},
        {false, false, false, name},  // not found: the bare name, which then fails to open
    };
    for (const auto& c : cases) {
        for (const auto& [put, where] : {std::pair{c.here, fs::path(".")}, std::pair{c.beside, exeDir},
                                          std::pair{c.data, dataDir}}) {
            if (put)
                WriteFile(where / name, {});
            else
                fs::remove(where / name);
        }
        EXPECT_EQ(MciFindFile(name), c.found.string());
    }
    fs::remove(exeDir / name);
    fs::remove(dataDir / name);
    for (const fs::path& d : made)
        fs::remove(d);
    EXPECT_EQ(MciFindFile("sub/" + name), "sub/" + name);  // a path is taken as it is
    // Letters in any case, as Windows finds files.
    WriteFile(exeDir / "Find-Case.Mid", {});
    EXPECT_EQ(MciFindFile("FIND-CASE.MID"), (exeDir / "Find-Case.Mid").string());
    fs::remove(exeDir / "Find-Case.Mid");
}

}  // namespace
