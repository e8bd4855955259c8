// The game's music on a headless window that behaves as the game's does: StartMusic on
// WM_CREATE, LoopMusic on each successful end, StopMusic at game over and on WM_DESTROY,
// driven by GetMessageA on the virtual clock, with a timer ticking as the game's would.
#include <gtest/gtest.h>
#include <mmsystem.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "backend/headless/headless.h"
#include "mci/headless_sound.h"
#include "mci/mci.h"
#include "mci/song.h"
#include "midi_bytes.h"
#include "music/music.h"
#include "user/trace.h"

namespace {

namespace fs = std::filesystem;

constexpr uint64_t kTick = 100;
constexpr double kAudible = 0.01;  // RMS; the tune plays at about 0.05

struct Notice {
    WPARAM flag;
    uint64_t at;
};
std::vector<Notice> g_notices;
uint64_t g_ticks = 0;

LRESULT CALLBACK GameLikeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:
        StartMusic(hwnd);
        SetTimer(hwnd, 1, kTick, nullptr);
        return 0;
    case WM_TIMER:
        ++g_ticks;
        return 0;
    case MM_MCINOTIFY:
        g_notices.push_back({wParam, HeadlessNow()});
        if (wParam == MCI_NOTIFY_SUCCESSFUL)
            LoopMusic(hwnd);
        return 0;
    case WM_DESTROY:
        StopMusic();
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

class Music : public ::testing::Test {
protected:
    void SetUp() override
    {
        HeadlessReset();
        g_notices.clear();
        g_ticks = 0;
        char tmpl[] = "/tmp/music_test.XXXXXX";
        ASSERT_TRUE(mkdtemp(tmpl));
        dir = tmpl;
        old = fs::current_path();
        fs::current_path(dir);
        std::ifstream in(DISCFIRE_TUNE, std::ios::binary);
        tune.assign(std::istreambuf_iterator<char>(in), {});
        ASSERT_TRUE(ParseSong(tune.data(), tune.size(), &song)) << DISCFIRE_TUNE;
        SetTraceSink([this](const std::string& line) {
            if (line.rfind("mciSendStringA \"open", 0) == 0)
                opened = std::stoul(line.substr(line.rfind(' ')));
        });
    }
    void TearDown() override
    {
        SetTraceSink(nullptr);
        HeadlessReset();
        MciSetSoundFonts(MciDefaultSoundFonts());
        fs::current_path(old);
        fs::remove_all(dir);
    }

    // Runs the game-like window until it is closed at `closeAt`; the clock when the loop ends.
    uint64_t RunGame(uint64_t closeAt)
    {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = GameLikeProc;
        wc.lpszClassName = "MUSICTEST";
        RegisterClassExA(&wc);
        HWND w = CreateWindowExA(0, "MUSICTEST", "", WS_CAPTION, 0, 0, 100, 100, nullptr, nullptr,
                                 nullptr, nullptr);
        ShowWindow(w, SW_SHOW);
        HeadlessCloseAt(closeAt);
        MSG m;
        BOOL got;
        while ((got = GetMessageA(&m, nullptr, 0, 0)) > 0)
            DispatchMessageA(&m);
        EXPECT_EQ(got, 0);  // the quit message, not an error
        EXPECT_FALSE(IsWindow(w));
        return HeadlessNow();
    }

    fs::path dir, old;
    Bytes tune;
    Song song;
    unsigned long opened = ~0ul;  // the open command's result, from the call trace
};

TEST_F(Music, TheTuneIsCheerfullyLongAndEndsOnABar)
{
    EXPECT_GE(song.lengthMs, 30000u);
    EXPECT_LE(song.lengthMs, 60000u);
    const unsigned bar = 4 * 480;  // 4/4 at 480 ticks a quarter
    EXPECT_EQ(song.endTick % bar, 0u);
}

TEST_F(Music, LoopsFromTheTopEachTimeItEndsAndStopsWithTheWindow)
{
    WriteFile("DISCFIRE.MID", tune);
    const uint64_t length = song.lengthMs;
    const uint64_t closeAt = 3 * length + length / 2;
    EXPECT_EQ(RunGame(closeAt), closeAt);
    EXPECT_EQ(opened, 0u);

    // Closing the window stops the music; the aborted notice goes with the window.
    ASSERT_EQ(g_notices.size(), 3u);
    EXPECT_GT(HeadlessSoundLevel(0, 10000), kAudible);
    uint64_t start = 0;
    for (int play = 0; play < 3; ++play) {
        SCOPED_TRACE(play);
        EXPECT_EQ(g_notices[play].flag, MCI_NOTIFY_SUCCESSFUL);
        EXPECT_GE(g_notices[play].at, start + length);
        EXPECT_LE(g_notices[play].at, start + length + 5);
        start = g_notices[play].at;
        // Heard from the start of each play to its end, with no gap where it loops.
        for (uint64_t t = start > 1000 ? start - 1000 : 0; t < start + 1000; t += 100)
            EXPECT_GT(HeadlessSoundLevel(t, t + 100), kAudible / 4) << "at " << t;
        EXPECT_GT(HeadlessSoundLevel(start + 1000, start + 10000), kAudible);
    }
    EXPECT_EQ(HeadlessSoundLevel(closeAt + 10, closeAt + 5000), 0.0);
    EXPECT_GE(g_ticks, closeAt / kTick - 1);  // the game went on ticking
}

TEST_F(Music, GameOverStopsItForGoodAndTheSecondStopIsHarmless)
{
    WriteFile("DISCFIRE.MID", tune);
    HeadlessAt(10000, [] { StopMusic(); });  // the game-over sequence
    const uint64_t closeAt = 2 * song.lengthMs;
    EXPECT_EQ(RunGame(closeAt), closeAt);  // WM_DESTROY stops it again

    ASSERT_EQ(g_notices.size(), 1u);
    EXPECT_EQ(g_notices[0].flag, MCI_NOTIFY_ABORTED);
    EXPECT_EQ(g_notices[0].at, 10000u);
    EXPECT_GT(HeadlessSoundLevel(0, 10000), kAudible);
    EXPECT_EQ(HeadlessSoundLevel(10010, closeAt), 0.0);
    EXPECT_GE(g_ticks, closeAt / kTick - 1);  // the game went on ticking
}

TEST_F(Music, WithoutAnAudioDeviceItLoopsTheSameInSilence)
{
    WriteFile("DISCFIRE.MID", tune);
    HeadlessSetSoundRendering(false);
    const uint64_t closeAt = 2 * song.lengthMs + 1000;
    RunGame(closeAt);
    HeadlessSetSoundRendering(true);
    EXPECT_EQ(opened, 0u);
    ASSERT_EQ(g_notices.size(), 2u);
    EXPECT_EQ(g_notices[0].at, song.lengthMs);
    EXPECT_EQ(g_notices[1].at, 2 * song.lengthMs);
    EXPECT_EQ(HeadlessSoundLevel(0, closeAt), 0.0);
}

TEST_F(Music, ABadFileLeavesTheGameRunningInSilence)
{
    std::mt19937 random(7);
    Bytes noise(4096);
    for (uint8_t& b : noise)
        b = static_cast<uint8_t>(random());
    const struct {
        const char* what;
        std::function<void()> make;
        unsigned long result;
        std::string stderrText = "";
    } cases[] = {
        {"missing", [] {}, MCIERR_FILE_NOT_FOUND},
        {"empty", [] { WriteFile("DISCFIRE.MID", {}); }, MCIERR_INVALID_FILE},
        {"truncated", [&] { WriteFile("DISCFIRE.MID", Bytes(tune.begin(), tune.begin() + 100)); },
         MCIERR_INVALID_FILE},
        {"random bytes", [&] { WriteFile("DISCFIRE.MID", noise); }, MCIERR_INVALID_FILE},
        {"random bytes after a good header", [&] { WriteFile("DISCFIRE.MID", Header(1, 2, 480) + noise); },
         MCIERR_INVALID_FILE},
        {"a directory", [] { fs::create_directory("DISCFIRE.MID"); }, MCIERR_FILE_NOT_FOUND},
        {"a pipe", [] { mkfifo("DISCFIRE.MID", 0600); }, MCIERR_INVALID_FILE},
        {"unreadable",
         [&] {
             WriteFile("DISCFIRE.MID", tune);
             chmod("DISCFIRE.MID", 0);
         },
         MCIERR_FILE_NOT_FOUND},
        {"an absurd track count", [&] { WriteFile("DISCFIRE.MID", Header(1, 60000, 480) + Bytes(tune.begin() + 14, tune.end())); },
         MCIERR_INVALID_FILE},
        {"an absurd track length",
         [&] {
             Bytes file = tune;
             file[18] = 0x7F;  // the first track's length
             WriteFile("DISCFIRE.MID", file);
         },
         MCIERR_INVALID_FILE},
        {"no soundfont",
         [&] {
             WriteFile("DISCFIRE.MID", tune);
             MciSetSoundFonts({"/nonexistent/GM.sf2"});
         },
         MCIERR_SEQ_NOMIDIPRESENT, "No soundfont found: the music is silent.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (std::string(c.what) == "unreadable" && geteuid() == 0) {
            // Root reads a file whatever its mode.
            continue;
        }
        TearDown();
        SetUp();
        c.make();
        const uint64_t closeAt = 2 * song.lengthMs;
        testing::internal::CaptureStderr();
        EXPECT_EQ(RunGame(closeAt), closeAt);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.stderrText);
        EXPECT_EQ(opened, c.result);
        EXPECT_TRUE(g_notices.empty());
        EXPECT_EQ(HeadlessSoundLevel(0, closeAt), 0.0);
        EXPECT_GE(g_ticks, closeAt / kTick - 1);  // the game went on ticking
    }
}

}  // namespace
