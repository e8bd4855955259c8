// The whole program through the replay tool: the real WinMain, window procedure, painter,
// rules and music on the headless backend, observed through its call trace and frames.
#include <gtest/gtest.h>
#include <png.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Session {
    int exitCode = -1;
    std::vector<std::string> lines;  // "MS Function key=value ..."

    std::vector<std::string> Calls(const std::string& function) const
    {
        std::vector<std::string> out;
        for (const auto& l : lines)
            if (l.find(" " + function + " ") != std::string::npos)
                out.push_back(l);
        return out;
    }
    // Index of the first line containing text, or -1.
    int Find(const std::string& text, int from = 0) const
    {
        for (size_t i = static_cast<size_t>(from); i < lines.size(); ++i)
            if (lines[i].find(text) != std::string::npos)
                return static_cast<int>(i);
        return -1;
    }
};

// A folder of this process's own for traces and frames, so that tests run side by side
// (ctest -j) never read each other's files; removed at exit.
class Scratch {
public:
    Scratch()
    {
        std::string tmpl = ::testing::TempDir() + "/program_test.XXXXXX";
        if (mkdtemp(tmpl.data()))
            dir_ = tmpl;
    }
    ~Scratch()
    {
        if (!dir_.empty())
            std::filesystem::remove_all(dir_);
    }
    const std::string& dir() const { return dir_; }

private:
    std::string dir_;
};

std::string ScratchFile(const std::string& name)
{
    static const Scratch scratch;
    if (scratch.dir().empty())
        ADD_FAILURE() << "no scratch folder in " << ::testing::TempDir();
    return scratch.dir() + "/" + name;
}

Session Replay(const std::string& args)
{
    const std::string trace = ScratchFile("trace");
    std::filesystem::remove(trace);  // a refused run leaves none
    const std::string command =
        std::string(DISCFIRE_REPLAY) + " --trace " + trace + " " + args + " 2>&1";
    Session run;
    const int status = system(command.c_str());
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(trace);
    for (std::string line; std::getline(in, line);)
        run.lines.push_back(line);
    return run;
}

uint64_t TimeOf(const std::string& line) { return std::stoull(line); }

// The RGB of a pixel of a PNG frame the tool wrote.
struct Frame {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    unsigned Pixel(int x, int y) const
    {
        const unsigned char* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
        return (p[0] << 16) | (p[1] << 8) | p[2];
    }
};

Frame ReadFrame(const std::string& path)
{
    Frame f;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return f;
    image.format = PNG_FORMAT_RGB;
    f.width = static_cast<int>(image.width);
    f.height = static_cast<int>(image.height);
    f.rgb.resize(PNG_IMAGE_SIZE(image));
    png_image_finish_read(&image, nullptr, f.rgb.data(), 0, nullptr);
    return f;
}

int RedMarks(const Frame& f)
{
    int red = 0;
    for (int k = 0; k < 10; ++k)  // the centre of each cross
        red += f.Pixel(80 + 24 * k + 12, 245 + 12) == 0xFF0000;
    return red;
}

const int kTick = 1024;

TEST(Program, AnIdleGameEndsAtTheTickAfterTheTenthFailure)
{
    // Five discs burn out at tick 75 and settle at tick 77; restarted, they burn out at 152
    // and settle in the paint after tick 154: the tenth failure. Game over is tick 155.
    const std::string before = ScratchFile("idle-153.png");
    const std::string after = ScratchFile("idle-154.png");
    Session run = Replay("--player idle --frame " + std::to_string(153 * kTick) + ":" + before +
                     " --frame " + std::to_string(154 * kTick) + ":" + after);
    EXPECT_EQ(run.exitCode, 0);

    const auto boxes = run.Calls("MessageBoxA");
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(TimeOf(boxes[0]), 0u);
    EXPECT_NE(boxes[0].find("owner=0x0 type=0x40"), std::string::npos);  // ownerless, information
    std::smatch text;
    ASSERT_TRUE(std::regex_search(boxes[0], text, std::regex("text=\"(.*)\"$")));
    // Seven lines joined by line feeds (escaped in the trace); the second is our own notice.
    std::vector<std::string> intro;
    const std::string escaped = text[1];
    for (size_t at = 0, next; at <= escaped.size(); at = next + 2) {
        next = escaped.find("\\n", at);
        if (next == std::string::npos)
            next = escaped.size();
        intro.push_back(escaped.substr(at, next - at));
    }
    ASSERT_EQ(intro.size(), 7u);
    EXPECT_FALSE(intro[1].empty());
    intro[1] = "";
    const std::vector<std::string> expected = {
        "焼き加減メーター ver.6.03",
        "",
        "",
        "あなたが何倍速のCD-Rまで耐えられるかを調べる「人間ベンチマーク」です。",
        "上の見本を参考にして、ほどよく焼けたところでCD-Rを取り除いて下さい。",
        "",
        "準備はよいですか?"};
    EXPECT_EQ(intro, expected);

    EXPECT_EQ(ReadFrame(before).width, 594);
    EXPECT_EQ(RedMarks(ReadFrame(before)), 5);
    EXPECT_EQ(RedMarks(ReadFrame(after)), 10);

    const int kill = run.Find("KillTimer id=1");
    const int stop = run.Find("\"stop DISCFIRE.MID\"");
    const int over = run.Find("text=\"ゲームオーバー\"");
    const int rating = run.Find("text=\"あなたは０倍速CD-Rです。(笑)\"");
    ASSERT_GE(kill, 0);
    EXPECT_EQ(TimeOf(run.lines[static_cast<size_t>(kill)]), 155u * kTick);
    EXPECT_LT(kill, over);
    EXPECT_LT(stop, over);
    EXPECT_LT(over, rating);
    EXPECT_NE(run.lines[static_cast<size_t>(over)].find("type=0x10 "), std::string::npos);
    EXPECT_NE(run.lines[static_cast<size_t>(rating)].find("type=0x40 "), std::string::npos);
    EXPECT_EQ(run.lines[static_cast<size_t>(over)].find("owner=0x0 "), std::string::npos);
    EXPECT_EQ(run.lines[static_cast<size_t>(rating)].find("owner=0x0 "), std::string::npos);
    EXPECT_NE(run.lines.back().find("Exit code=0"), std::string::npos);
}

TEST(Program, APerfectPlayerSpeedsUpAndIsRatedByItsFinalSpeed)
{
    Session run = Replay("--player perfect:120000");
    EXPECT_EQ(run.exitCode, 0);
    const auto timers = run.Calls("SetTimer");
    ASSERT_GE(timers.size(), 10u);
    const int expected[] = {1024, 512, 341, 256, 204, 170, 146, 128, 113, 102};
    for (size_t i = 0; i < 10; ++i)
        EXPECT_NE(timers[i].find("ms=" + std::to_string(expected[i])), std::string::npos) << timers[i];
    // Every re-arm is one speed step; the rating names the speed reached.
    const std::string rating = "text=\"あなたは" + std::to_string(timers.size()) + "倍速CD-Rです。\"";
    EXPECT_GE(run.Find(rating), 0) << rating;
}

TEST(Program, ClosingMidGameStopsTheMusicWithoutBoxes)
{
    Session run = Replay("--player idle --close 5000");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.Calls("MessageBoxA").size(), 1u);  // the introduction only
    const int stop = run.Find("\"stop DISCFIRE.MID\" callback=none -> 0");
    const int close = run.Find("\"close DISCFIRE.MID\" callback=none -> 0");
    ASSERT_GE(stop, 0);
    EXPECT_GT(close, stop);
    EXPECT_EQ(TimeOf(run.lines[static_cast<size_t>(stop)]), 5000u);
    EXPECT_NE(run.lines.back().find("5000 Exit code=0"), std::string::npos);
}

TEST(Program, ClicksWhileAResultBoxIsUpChangeNothing)
{
    // Every box stays up 5 s, the introduction's too, so game over comes at 5 s + tick 155.
    // The player clicks every disc while the result boxes are up.
    const int gameOver = 5000 + 155 * kTick;
    std::string clicks;
    for (int i = 0; i < 5; ++i)
        clicks += " --click " + std::to_string(gameOver + 1000 + 1500 * i) + ":" +
                  std::to_string(56 + 80 * i) + ":176";
    Session run = Replay("--player idle --trace-text --box-ms 5000" + clicks);
    EXPECT_EQ(run.exitCode, 0);
    const int over = run.Find("text=\"ゲームオーバー\"");
    ASSERT_GE(over, 0);
    EXPECT_LT(run.Find("TextOutA", over), 0) << "the board was repainted after a click";
    EXPECT_EQ(TimeOf(run.lines[static_cast<size_t>(over)]), static_cast<uint64_t>(gameOver));
    EXPECT_NE(run.lines.back().find(std::to_string(gameOver + 10000) + " Exit code=0"),
              std::string::npos);
}

TEST(Program, ReplayToolRejectsBadArguments)
{
    // Speeds the game never reaches, and times that would wrap around when added up.
    for (const char* args : {"--player fast", "--click 10:20", "--frame 5", "--start-tick -1",
                             "--bogus", "--player perfect:x0", "--player perfect:x",
                             "--player idle,", "--player random:1,perfect:100", "--stats 0",
                             "--player perfect:x1025", "--player perfect:x4294967296,idle",
                             "--player random:4294967296", "--start-tick 4294967296",
                             "--box-ms 18446744073709551615", "--box-ms 1000000000000001",
                             "--close 18446744073709551616", "--click 1000000000000001:56:176",
                             "--frame 1000000000000001:x.png", "--stats 1000000000000001"})
        EXPECT_EQ(Replay(args).exitCode, 2) << args;
    // The top speed is still a speed to play to.
    Session top = Replay("--player perfect:x1024,idle --close 10000");
    EXPECT_EQ(top.exitCode, 0);
    EXPECT_NE(top.lines.back().find("10000 Exit code=0"), std::string::npos);
}

TEST(Program, ReplayToolFailsWhenItsTraceCannotBeWritten)
{
    // The game runs its course; a trace lost on the way still fails the run, with a reason.
    const std::string command =
        std::string(DISCFIRE_REPLAY) + " --trace /dev/full --close 5000 2>&1 >/dev/null";
    FILE* p = popen(command.c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string said;
    char buf[256];
    while (fgets(buf, sizeof buf, p))
        said += buf;
    const int status = pclose(p);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 2);
    EXPECT_NE(said.find("cannot write /dev/full"), std::string::npos) << said;
    // Standard output as the trace, the same.
    const std::string toStdout =
        std::string(DISCFIRE_REPLAY) + " --close 5000 >/dev/full 2>/dev/null";
    const int s = system(toStdout.c_str());
    EXPECT_EQ(WIFEXITED(s) ? WEXITSTATUS(s) : -1, 2);
}

// "KEY=N" of a trace line, or -1.
long long Field(const std::string& line, const std::string& key)
{
    const size_t at = line.find(" " + key + "=");
    return at == std::string::npos ? -1 : std::stoll(line.substr(at + key.size() + 2));
}

TEST(Program, StatsCountTicksAndShowTheGraphicsHeldUntilExit)
{
    Session run = Replay("--player idle --stats 20000");
    const auto stats = run.Calls("Stats");
    ASSERT_GE(stats.size(), 9u);
    const std::string& first = stats.front();
    EXPECT_NE(first.find("0 Stats when=first-paint ticks=0 paints=1 "), std::string::npos) << first;
    EXPECT_GT(Field(first, "gdi"), 0);
    for (size_t i = 1; i + 2 < stats.size(); ++i) {
        // Periodic lines come at the first paint of each 20 s, a tick's paint at speed 1.
        EXPECT_NE(stats[i].find("when=periodic"), std::string::npos) << stats[i];
        EXPECT_EQ(TimeOf(stats[i]) / 20000, i);
        EXPECT_EQ(Field(stats[i], "ticks"), static_cast<long long>(TimeOf(stats[i]) / kTick));
        EXPECT_EQ(Field(stats[i], "gdi"), Field(first, "gdi")) << stats[i];
        EXPECT_GT(Field(stats[i], "rss_kb"), 0);
    }
    // The last paint shows the tenth mark at tick 154; tick 155 ends the game.
    const std::string& last = stats[stats.size() - 2];
    const std::string& exit = stats.back();
    EXPECT_NE(last.find("when=last-paint ticks=154 "), std::string::npos) << last;
    EXPECT_EQ(Field(last, "gdi"), Field(first, "gdi"));
    EXPECT_NE(exit.find("when=exit ticks=155 "), std::string::npos) << exit;
    EXPECT_EQ(Field(exit, "gdi"), 0);
    EXPECT_EQ(Field(exit, "dcs"), 0);
}

TEST(Program, APerfectPlayerHandsOverAtTheSpeedGiven)
{
    struct Case {
        const char* player;
        bool clicksAfterwards;  // early verdicts, which the perfect player never gives
    };
    for (const Case& c : {Case{"perfect:x4,idle", false}, Case{"perfect:x4,random:1", true}}) {
        Session run = Replay(std::string("--trace-text --player ") + c.player);
        EXPECT_EQ(run.exitCode, 0) << c.player;
        const auto timers = run.Calls("SetTimer");
        ASSERT_GE(timers.size(), 4u) << c.player;
        EXPECT_EQ(Field(timers[3], "ms"), 256) << c.player;
        const int early = run.Find("text=\"早\"");
        EXPECT_EQ(early >= 0, c.clicksAfterwards) << c.player;
        if (early >= 0) {
            EXPECT_GT(TimeOf(run.lines[static_cast<size_t>(early)]), TimeOf(timers[3]));
        }
        if (!c.clicksAfterwards) {  // nobody to win the next three
            EXPECT_EQ(timers.size(), 4u);
            EXPECT_GE(run.Find("text=\"あなたは4倍速CD-Rです。\""), 0);
        }
    }
}

}  // namespace
