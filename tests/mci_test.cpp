// MCI command strings on the headless backend: results, and the notifications a window
// receives, on the virtual clock, with the synthesizer rendered and without.
#include <gtest/gtest.h>
#include <mmsystem.h>

#include <filesystem>
#include <string>
#include <vector>

#include "backend/headless/headless.h"
#include "mci/headless_sound.h"
#include "mci/mci.h"
#include "mci/song.h"
#include "midi_bytes.h"

namespace {

namespace fs = std::filesystem;

constexpr uint64_t kSongMs = 2000;  // SONG.MID
// The end is noticed once the player has reached it, a block of samples late at most.
constexpr uint64_t kEndSlackMs = 5;

struct Notice {
    uint64_t at;
    WPARAM flag;
    LPARAM device;
};
std::vector<Notice> g_notices;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == MM_MCINOTIFY) {
        g_notices.push_back({HeadlessNow(), wParam, lParam});
        return 0;
    }
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class Mci : public ::testing::Test {
protected:
    void SetUp() override
    {
        HeadlessReset();
        g_notices.clear();
        char tmpl[] = "/tmp/mci_test.XXXXXX";
        ASSERT_TRUE(mkdtemp(tmpl));
        dir = tmpl;
        old = fs::current_path();
        fs::current_path(dir);
        WriteFile("SONG.MID", OneNoteSong(kSongMs));
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = RecordingProc;
        wc.lpszClassName = "MCITEST";
        RegisterClassExA(&wc);
        window = CreateWindowExA(0, "MCITEST", "", WS_CAPTION, 0, 0, 100, 100, nullptr, nullptr,
                                 nullptr, nullptr);
        ShowWindow(window, SW_SHOW);
    }
    void TearDown() override
    {
        HeadlessReset();
        HeadlessSetSoundRendering(true);
        MciSetSoundFonts(MciDefaultSoundFonts());
        fs::current_path(old);
        fs::remove_all(dir);
    }

    // Runs the message loop until the window is closed at `until`.
    void RunUntil(uint64_t until)
    {
        HeadlessCloseAt(until);
        MSG m;
        while (GetMessageA(&m, nullptr, 0, 0) > 0)
            DispatchMessageA(&m);
    }

    HWND window = nullptr;
    fs::path dir, old;
};

struct Step {
    uint64_t at;
    const char* command;
    bool toWindow;  // the window is the callback
    MCIERROR result;
};

struct Scenario {
    const char* what;
    std::vector<Step> steps;
    std::vector<std::pair<uint64_t, WPARAM>> notices;
};

const Scenario kScenarios[] = {
    {"the game's own commands, in order",
     {{0, "open SONG.MID", false, 0},
      {0, "play SONG.MID notify", true, 0},
      {2100, "seek SONG.MID to start", false, 0},
      {2100, "play SONG.MID notify", true, 0},
      {3000, "stop SONG.MID", false, 0},
      {3000, "close SONG.MID", false, 0},
      {3000, "stop SONG.MID", false, MCIERR_INVALID_DEVICE_NAME},
      {3000, "close SONG.MID", false, MCIERR_INVALID_DEVICE_NAME}},
     {{2000, MCI_NOTIFY_SUCCESSFUL}, {3000, MCI_NOTIFY_ABORTED}}},
    {"commands and names in any case",
     {{0, "OPEN song.mid", false, 0},
      {0, "Play Song.Mid NOTIFY", true, 0},
      {2500, "CLOSE SONG.mid", false, 0}},
     {{2000, MCI_NOTIFY_SUCCESSFUL}}},
    {"a stopped song plays on from where it stopped",
     {{0, "open SONG.MID", false, 0},
      {0, "play SONG.MID notify", true, 0},
      {500, "stop SONG.MID", false, 0},
      {1000, "play SONG.MID notify", true, 0}},
     {{500, MCI_NOTIFY_ABORTED}, {2500, MCI_NOTIFY_SUCCESSFUL}}},
    {"a new play with notify supersedes the one before",
     {{0, "open SONG.MID", false, 0},
      {0, "play SONG.MID notify", true, 0},
      {500, "play SONG.MID notify", true, 0}},
     {{500, MCI_NOTIFY_SUPERSEDED}, {2000, MCI_NOTIFY_SUCCESSFUL}}},
    {"a play without notify leaves the waiting one be",
     {{0, "open SONG.MID", false, 0},
      {0, "play SONG.MID notify", true, 0},
      {500, "play SONG.MID", true, 0}},
     {{2000, MCI_NOTIFY_SUCCESSFUL}}},
    {"closing a playing song aborts it",
     {{0, "open SONG.MID", false, 0},
      {0, "play SONG.MID notify", true, 0},
      {700, "close SONG.MID", false, 0}},
     {{700, MCI_NOTIFY_ABORTED}}},
    {"seeking a playing song aborts it",
     {{0, "open SONG.MID", false, 0},
      {0, "play SONG.MID notify", true, 0},
      {700, "seek SONG.MID to start", false, 0},
      {800, "play SONG.MID notify", true, 0}},
     {{700, MCI_NOTIFY_ABORTED}, {2800, MCI_NOTIFY_SUCCESSFUL}}},
    {"playing from the end ends at once",
     {{0, "open SONG.MID", false, 0},
      {0, "seek SONG.MID to end", false, 0},
      {0, "play SONG.MID notify", true, 0}},
     {{0, MCI_NOTIFY_SUCCESSFUL}}},
    {"notify on other commands tells of their success",
     {{0, "open SONG.MID notify", true, 0}, {100, "close SONG.MID notify", true, 0}},
     {{0, MCI_NOTIFY_SUCCESSFUL}, {100, MCI_NOTIFY_SUCCESSFUL}}},
    {"without a callback window nothing is posted",
     {{0, "open SONG.MID", false, 0}, {0, "play SONG.MID notify", false, 0}},
     {}},
};

TEST_F(Mci, NotifiesEachPlayOnceWithOrWithoutSound)
{
    for (const bool rendering : {true, false}) {
        for (const Scenario& s : kScenarios) {
            SCOPED_TRACE(std::string(s.what) + (rendering ? "" : ", silent"));
            TearDown();
            HeadlessSetSoundRendering(rendering);
            SetUp();
            for (const Step& step : s.steps)
                HeadlessAt(step.at, [this, step] {
                    EXPECT_EQ(mciSendStringA(step.command, nullptr, 0, step.toWindow ? window : nullptr),
                              step.result)
                        << step.command << " at " << step.at;
                });
            RunUntil(5000);
            ASSERT_EQ(g_notices.size(), s.notices.size());
            for (size_t i = 0; i < s.notices.size(); ++i) {
                EXPECT_EQ(g_notices[i].flag, s.notices[i].second) << i;
                EXPECT_GE(g_notices[i].at, s.notices[i].first) << i;
                EXPECT_LE(g_notices[i].at, s.notices[i].first + kEndSlackMs) << i;
                EXPECT_EQ(g_notices[i].device, 1) << i;
            }
        }
    }
}

// The synthesizer's start held back, as behind a slow sound server: "ready" lets it finish.
const Scenario kStartScenarios[] = {
    {"a play asked for early starts when the synthesizer is ready",
     {{0, "open SONG.MID", false, 0},
      {0, "play SONG.MID notify", true, 0},
      {300, "ready", false, 0},
      {2500, "seek SONG.MID to start", false, 0},
      {2500, "play SONG.MID notify", true, 0}},
     {{2300, MCI_NOTIFY_SUCCESSFUL}, {4500, MCI_NOTIFY_SUCCESSFUL}}},
    {"ready before the first command: nothing waits",
     {{0, "open SONG.MID", false, 0}, {0, "ready", false, 0}, {100, "play SONG.MID notify", true, 0}},
     {{2100, MCI_NOTIFY_SUCCESSFUL}}},
    {"never ready: no notice, and the loop runs on",
     {{0, "open SONG.MID", false, 0}, {0, "play SONG.MID notify", true, 0}},
     {}},
    {"stopped while waiting: aborted at once, and played again from the start",
     {{0, "open SONG.MID", false, 0},
      {0, "play SONG.MID notify", true, 0},
      {100, "stop SONG.MID", false, 0},
      {200, "ready", false, 0},
      {300, "play SONG.MID notify", true, 0}},
     {{100, MCI_NOTIFY_ABORTED}, {2300, MCI_NOTIFY_SUCCESSFUL}}},
    {"superseded while waiting",
     {{0, "open SONG.MID", false, 0},
      {0, "play SONG.MID notify", true, 0},
      {100, "play SONG.MID notify", true, 0},
      {200, "ready", false, 0}},
     {{100, MCI_NOTIFY_SUPERSEDED}, {2200, MCI_NOTIFY_SUCCESSFUL}}},
    {"closed while starting, then opened again",
     {{0, "open SONG.MID", false, 0},
      {0, "play SONG.MID notify", true, 0},
      {100, "close SONG.MID", false, 0},
      {200, "ready", false, 0},
      {300, "open SONG.MID", false, 0},
      {300, "play SONG.MID notify", true, 0},
      {400, "ready", false, 0}},
     {{100, MCI_NOTIFY_ABORTED}, {2400, MCI_NOTIFY_SUCCESSFUL}}},
};

TEST_F(Mci, NeverWaitsForTheSynthesizerToStart)
{
    for (const bool rendering : {true, false}) {
        for (const Scenario& s : kStartScenarios) {
            SCOPED_TRACE(std::string(s.what) + (rendering ? "" : ", silent"));
            TearDown();
            HeadlessSetSoundRendering(rendering);
            SetUp();
            HeadlessHoldSlowWork();
            uint64_t readyAt = 5000;
            for (const Step& step : s.steps) {
                if (std::string(step.command) == "ready") {
                    readyAt = std::min(readyAt, step.at);
                    HeadlessAt(step.at, [] { HeadlessRunHeldWork(); });
                    continue;
                }
                HeadlessAt(step.at, [this, step] {
                    EXPECT_EQ(mciSendStringA(step.command, nullptr, 0, step.toWindow ? window : nullptr),
                              step.result)
                        << step.command << " at " << step.at;
                });
            }
            RunUntil(5000);
            EXPECT_EQ(HeadlessNow(), 5000u);
            ASSERT_EQ(g_notices.size(), s.notices.size());
            for (size_t i = 0; i < s.notices.size(); ++i) {
                EXPECT_EQ(g_notices[i].flag, s.notices[i].second) << i;
                EXPECT_GE(g_notices[i].at, s.notices[i].first) << i;
                EXPECT_LE(g_notices[i].at, s.notices[i].first + kEndSlackMs) << i;
            }
            // Nothing sounds before the synthesizer is there.
            EXPECT_EQ(HeadlessSoundLevel(0, readyAt), 0.0);
            if (rendering && !s.notices.empty() && s.notices.back().second == MCI_NOTIFY_SUCCESSFUL) {
                EXPECT_GT(HeadlessSoundLevel(readyAt, readyAt + 1000), 0.01);
            }
        }
    }
}

TEST_F(Mci, RefusesWhatItCannotDo)
{
    ASSERT_EQ(mciSendStringA("open SONG.MID", nullptr, 0, nullptr), 0u);
    WriteFile("SOUND.WAV", {});
    const struct {
        const char* command;
        MCIERROR result;
    } cases[] = {
        {nullptr, MCIERR_MISSING_COMMAND_STRING},
        {"", MCIERR_MISSING_COMMAND_STRING},
        {" \t ", MCIERR_MISSING_COMMAND_STRING},
        {"dance SONG.MID", MCIERR_UNRECOGNIZED_COMMAND},
        {"play", MCIERR_MISSING_DEVICE_NAME},
        {"play OTHER.MID", MCIERR_INVALID_DEVICE_NAME},
        {"open SONG.MID", MCIERR_DEVICE_OPEN},
        {"open song.mid", MCIERR_DEVICE_OPEN},
        {"open MISSING.MID", MCIERR_FILE_NOT_FOUND},
        {"open SOUND.WAV", MCIERR_EXTENSION_NOT_FOUND},
        {"open cdaudio", MCIERR_INVALID_DEVICE_NAME},
        {"open \"SONG.MID", MCIERR_NO_CLOSING_QUOTE},
        {"play SONG.MID from 0", MCIERR_UNRECOGNIZED_KEYWORD},
        {"seek SONG.MID", MCIERR_MISSING_PARAMETER},
        {"seek SONG.MID to", MCIERR_MISSING_PARAMETER},
        {"seek SONG.MID to 1000", MCIERR_UNSUPPORTED_FUNCTION},
    };
    for (const auto& c : cases)
        EXPECT_EQ(mciSendStringA(c.command, nullptr, 0, nullptr), c.result)
            << (c.command ? c.command : "(null)");
}

TEST_F(Mci, NamesDevicesByFileAndAnswersInTheReturnString)
{
    WriteFile("with space.mid", OneNoteSong(kSongMs));
    char reply[8] = "junk";
    EXPECT_EQ(mciSendStringA("open SONG.MID", reply, sizeof reply, nullptr), 0u);
    EXPECT_STREQ(reply, "1");
    EXPECT_EQ(mciSendStringA("open \"with space.mid\"", reply, sizeof reply, nullptr), 0u);
    EXPECT_STREQ(reply, "2");
    EXPECT_EQ(mciSendStringA("play SONG.MID", reply, sizeof reply, nullptr), 0u);
    EXPECT_STREQ(reply, "");
    // One synthesizer: a second song cannot play over the first.
    EXPECT_EQ(mciSendStringA("play \"WITH SPACE.MID\"", nullptr, 0, nullptr), MCIERR_SEQ_PORT_INUSE);
    EXPECT_EQ(mciSendStringA("close SONG.MID", nullptr, 0, nullptr), 0u);
    EXPECT_EQ(mciSendStringA("play \"WITH SPACE.MID\"", nullptr, 0, nullptr), 0u);
    // The freed id is the next one given.
    EXPECT_EQ(mciSendStringA("open SONG.MID", reply, sizeof reply, nullptr), 0u);
    EXPECT_STREQ(reply, "1");
    EXPECT_EQ(mciSendStringA("close all", nullptr, 0, nullptr), 0u);
    EXPECT_EQ(mciSendStringA("open SONG.MID", reply, 1, nullptr), MCIERR_PARAM_OVERFLOW);
}

TEST_F(Mci, TimesEverySongFromASecondToItsEnd)
{
    const struct {
        Bytes file;
        uint64_t lengthMs;
        bool rendering;
    } cases[] = {
        {Header(0, 1, 480) + TrackChunk(EndOfTrack()), kSongMinMs, true},
        // A note of 16.8 s, then hours of nothing: ten seconds of them.
        {Header(0, 1, 1) + TrackChunk(Tempo(0, 0xFFFFFF) + Note(0, 1) + EndOfTrack(0x0FFFFFFF)),
         16777 + kSongTrailMs, true},
        // Longer than any cap there was: heard to its end (timed silently, for speed).
        {Header(0, 1, 480) + TrackChunk(Note(0, 29 * 60 * 960) + EndOfTrack()), 29 * 60 * 1000,
         false},
    };
    for (const auto& c : cases) {
        TearDown();
        HeadlessSetSoundRendering(c.rendering);
        SetUp();
        WriteFile("TIMED.MID", c.file);
        ASSERT_EQ(mciSendStringA("open TIMED.MID", nullptr, 0, nullptr), 0u);
        ASSERT_EQ(mciSendStringA("play TIMED.MID notify", nullptr, 0, window), 0u);
        RunUntil(c.lengthMs + 1000);
        ASSERT_EQ(g_notices.size(), 1u) << c.lengthMs;
        EXPECT_EQ(g_notices[0].flag, MCI_NOTIFY_SUCCESSFUL) << c.lengthMs;
        EXPECT_GE(g_notices[0].at, c.lengthMs);
        EXPECT_LE(g_notices[0].at, c.lengthMs + kEndSlackMs);
    }
}

TEST_F(Mci, WithoutASoundfontNothingOpens)
{
    MciSetSoundFonts({(dir / "missing.sf2").string(), "/dev/null", "SONG.MID"});
    EXPECT_EQ(mciSendStringA("open SONG.MID", nullptr, 0, nullptr), MCIERR_SEQ_NOMIDIPRESENT);
    EXPECT_EQ(mciSendStringA("play SONG.MID notify", nullptr, 0, window), MCIERR_INVALID_DEVICE_NAME);
    MciSetSoundFonts(MciDefaultSoundFonts());
    EXPECT_EQ(mciSendStringA("open SONG.MID", nullptr, 0, nullptr), 0u);
}

TEST_F(Mci, KeepsALoudSongBelowFullScale)
{
    // Every channel at full volume, eight loud notes each, struck at once: the synthesizer
    // alone sums them far past full scale.
    Bytes events;
    for (uint8_t channel = 0; channel < 16; ++channel) {
        events = events + Bytes{0x00, uint8_t(0xB0 | channel), 7, 127, 0x00, uint8_t(0xB0 | channel), 11, 127};
        for (uint8_t key = 40; key < 88; key += 6)
            events = events + Bytes{0x00, uint8_t(0x90 | channel), key, 127};
    }
    events = events + VarLen(1920) + Bytes{0xB0, 123, 0} + EndOfTrack();
    WriteFile("LOUD.MID", Header(0, 1, 480) + TrackChunk(events));
    ASSERT_EQ(mciSendStringA("open LOUD.MID", nullptr, 0, nullptr), 0u);
    ASSERT_EQ(mciSendStringA("play LOUD.MID", nullptr, 0, nullptr), 0u);
    HeadlessAdvanceTo(3000);
    EXPECT_LT(HeadlessSoundPeak(0, 3000), 0.901);  // the ceiling, within a float's rounding
    EXPECT_GT(HeadlessSoundPeak(0, 3000), 0.5);  // held at the ceiling, not squashed
    EXPECT_GT(HeadlessSoundLevel(0, 2000), 0.1);
}

TEST_F(Mci, RendersTheSongWhilePlayingAndSilenceOnceStopped)
{
    ASSERT_EQ(mciSendStringA("open SONG.MID", nullptr, 0, nullptr), 0u);
    ASSERT_EQ(mciSendStringA("play SONG.MID", nullptr, 0, nullptr), 0u);
    HeadlessAdvanceTo(1000);
    ASSERT_EQ(mciSendStringA("stop SONG.MID", nullptr, 0, nullptr), 0u);
    HeadlessAdvanceTo(3000);
    EXPECT_GT(HeadlessSoundLevel(100, 1000), 0.01);
    EXPECT_LT(HeadlessSoundLevel(1100, 3000), 1e-3);  // at most the reverb's last breath
    EXPECT_EQ(HeadlessSoundLevel(5000, 6000), 0.0);  // not yet rendered, never heard
}

}  // namespace
