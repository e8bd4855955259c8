// Music through SDL's audio, as the game's own program plays it. SDL's disk driver stands
// in for a sound card: it takes sound at the card's pace and writes it to a file. The
// window manager runs headless here only for its clock and queue.
#include <gtest/gtest.h>
#include <mmsystem.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "backend/headless/headless.h"
#include "mci/audio_driver.h"
#include "mci/mci.h"

namespace {

namespace fs = std::filesystem;

class AudioDevice : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/audio_device_test.XXXXXX";
        ASSERT_TRUE(mkdtemp(tmpl));
        dir = tmpl;
        old = fs::current_path();
        fs::current_path(dir);
        fs::copy_file(DISCFIRE_TUNE, "DISCFIRE.MID");
        HeadlessReset();
    }
    void TearDown() override
    {
        HeadlessReset();
        fs::current_path(old);
        fs::remove_all(dir);
    }
    fs::path dir, old;
};

TEST_F(AudioDevice, PlaysTheTuneIntoTheDevice)
{
    const fs::path out = dir / "device.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
    ASSERT_EQ(mciSendStringA("open DISCFIRE.MID", nullptr, 0, nullptr), 0u);
    ASSERT_EQ(mciSendStringA("play DISCFIRE.MID", nullptr, 0, nullptr), 0u);
    MciFinishStarting();
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    ASSERT_EQ(mciSendStringA("close DISCFIRE.MID", nullptr, 0, nullptr), 0u);
    MciFinishStarting();  // the device closes behind the window thread

    // 32-bit float stereo at 44.1 kHz, as the output asks for.
    std::ifstream in(out, std::ios::binary);
    std::vector<float> samples;
    float s;
    while (in.read(reinterpret_cast<char*>(&s), sizeof s))
        samples.push_back(s);
    ASSERT_GT(samples.size(), 2u * 22050);  // half a second or more reached the device
    double sum = 0;
    for (float x : samples)
        sum += double{x} * x;
    EXPECT_GT(std::sqrt(sum / static_cast<double>(samples.size())), 0.01);
}

LRESULT CALLBACK QuitOnNotice(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == MM_MCINOTIFY)
        PostQuitMessage(static_cast<int>(wParam));
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

TEST_F(AudioDevice, WithoutOneSongsAreTimedInSilenceAndOneLineSaysSo)
{
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = QuitOnNotice;
    wc.lpszClassName = "DEVICETEST";
    RegisterClassExA(&wc);
    HWND w = CreateWindowExA(0, "DEVICETEST", "", WS_CAPTION, 0, 0, 100, 100, nullptr, nullptr,
                             nullptr, nullptr);
    testing::internal::CaptureStderr();
    // Said once, however often the synthesizer starts.
    EXPECT_EQ(mciSendStringA("open DISCFIRE.MID", nullptr, 0, nullptr), 0u);
    EXPECT_EQ(mciSendStringA("close DISCFIRE.MID", nullptr, 0, nullptr), 0u);
    EXPECT_EQ(mciSendStringA("open DISCFIRE.MID", nullptr, 0, nullptr), 0u);
    EXPECT_EQ(mciSendStringA("play DISCFIRE.MID notify", nullptr, 0, w), 0u);
    MciFinishStarting();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "No audio device: the music is silent.\n");
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0)
        DispatchMessageA(&m);
    EXPECT_EQ(m.wParam, static_cast<WPARAM>(MCI_NOTIFY_SUCCESSFUL));
    EXPECT_EQ(HeadlessNow(), 51200u);  // the tune's length on the virtual clock
}

// The drivers of a desktop, each kept from its sound: no PipeWire or PulseAudio daemon to
// reach, and a device name that ALSA and OSS cannot open.
class NoDesktopSound : public AudioDevice {
protected:
    void SetUp() override
    {
        AudioDevice::SetUp();
        for (const char* name : {"SDL_AUDIODRIVER", "XDG_RUNTIME_DIR", "PIPEWIRE_REMOTE",
                                 "PULSE_SERVER", "AUDIODEV"}) {
            const char* v = getenv(name);
            saved.emplace_back(name, v ? std::optional<std::string>(v) : std::nullopt);
        }
        setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
        setenv("PIPEWIRE_REMOTE", "no-such-daemon", 1);
        setenv("PULSE_SERVER", (dir / "no-such-socket").c_str(), 1);
        setenv("AUDIODEV", (dir / "no-such-device").c_str(), 1);
    }
    void TearDown() override
    {
        for (const auto& [name, value] : saved)
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
        MciSetAudioDrivers(MciDefaultAudioDrivers());
        AudioDevice::TearDown();
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};

TEST_F(NoDesktopSound, DriversAreTriedInTurnQuietlyUnlessTheUserNamesOne)
{
    const std::vector<std::string> desktop = MciDefaultAudioDrivers();
    auto with = [&](const char* last) {
        std::vector<std::string> list = desktop;
        list.push_back(last);
        return list;
    };
    const std::string noDevice = "No audio device: the music is silent.\n";
    struct Case {
        const char* name;
        const char* userDriver;  // SDL_AUDIODRIVER, or null
        std::vector<std::string> drivers;
        std::string playing;  // the driver that opened a device
        std::string stderrText;
    } cases[] = {
        {"past every desktop driver to the last", nullptr, with("dummy"), "dummy", ""},
        {"none of them", nullptr, desktop, "", noDevice},
        {"an empty list", nullptr, {}, "", noDevice},
        {"the user's driver over the list", "dummy", with("no-such-driver"), "dummy", ""},
        {"the user's driver or none", "no-such-driver", {"dummy"}, "", noDevice},
    };
    for (const Case& c : cases) {
        HeadlessReset();
        c.userDriver ? setenv("SDL_AUDIODRIVER", c.userDriver, 1) : unsetenv("SDL_AUDIODRIVER");
        MciSetAudioDrivers(c.drivers);
        testing::internal::CaptureStderr();
        EXPECT_EQ(mciSendStringA("open DISCFIRE.MID", nullptr, 0, nullptr), 0u) << c.name;
        MciFinishStarting();
        EXPECT_EQ(MciAudioDriver(), c.playing) << c.name;
        EXPECT_EQ(mciSendStringA("close DISCFIRE.MID", nullptr, 0, nullptr), 0u) << c.name;
        MciFinishStarting();
        EXPECT_EQ(MciAudioDriver(), "") << c.name;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.stderrText) << c.name;
    }
}

TEST_F(NoDesktopSound, TheTunePlaysThroughTheDriverFoundLast)
{
    const fs::path out = dir / "device.raw";
    setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
    unsetenv("SDL_AUDIODRIVER");
    std::vector<std::string> drivers = MciDefaultAudioDrivers();
    drivers.push_back("disk");
    MciSetAudioDrivers(drivers);
    ASSERT_EQ(mciSendStringA("open DISCFIRE.MID", nullptr, 0, nullptr), 0u);
    ASSERT_EQ(mciSendStringA("play DISCFIRE.MID", nullptr, 0, nullptr), 0u);
    MciFinishStarting();
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    ASSERT_EQ(mciSendStringA("close DISCFIRE.MID", nullptr, 0, nullptr), 0u);
    MciFinishStarting();
    std::ifstream in(out, std::ios::binary);
    float s;
    double sum = 0;
    size_t n = 0;
    for (; in.read(reinterpret_cast<char*>(&s), sizeof s); ++n)
        sum += double{s} * s;
    ASSERT_GT(n, 2u * 11025);  // a quarter of a second or more
    EXPECT_GT(std::sqrt(sum / static_cast<double>(n)), 0.01);
}

}  // namespace
