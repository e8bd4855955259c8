// Times the real program from outside, on a real X server: from execve to the introduction
// box and to the first board frame on the screen (the box answered at once with xdotool, as
// the tests press it), from the box's answer (its window gone) to that frame, and from
// SIGTERM to exit. Prints one line of milliseconds a run.
//   start_probe GAME RUNS
// The game runs in the current directory with whatever environment it is given (the tune
// beside it, a sound server or none): see bench/music_start_bench.sh.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from) { return std::chrono::duration<double, std::milli>(Clock::now() - from).count(); }

pid_t Spawn(std::vector<std::string> args)
{
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    return pid;
}

bool IsBoard(Display* d, Window w)
{
    XWindowAttributes a{};
    return XGetWindowAttributes(d, w, &a) && a.width == 594 && a.height == 275;
}

// The first sample disc's pixel, blue once the board has been presented.
bool BoardDrawn(Display* d, Window w)
{
    XImage* image = XGetImage(d, w, 24, 34, 1, 1, AllPlanes, ZPixmap);
    if (!image)
        return false;
    const unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return (pixel & 0xFFFFFF) == 0x0000FF;
}

struct Run {
    double box = -1, board = -1, boardAfterAnswer = -1, exit = -1;
    int status = -1;
};

Window g_box = 0;
Clock::time_point g_boxGone;
bool g_boxIsGone = false;

void SawEvent(const XEvent& e)
{
    if (!g_boxIsGone && g_box &&
        ((e.type == UnmapNotify && e.xunmap.window == g_box) ||
         (e.type == DestroyNotify && e.xdestroywindow.window == g_box))) {
        g_boxGone = Clock::now();
        g_boxIsGone = true;
    }
}

void Drain(Display* d)
{
    while (XPending(d)) {
        XEvent e;
        XNextEvent(d, &e);
        SawEvent(e);
    }
}

// Waits for a top-level window to be mapped; 0 after `limitMs`.
Window NextMapped(Display* d, Clock::time_point since, double limitMs)
{
    while (Ms(since) < limitMs) {
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            SawEvent(e);
            if (e.type == MapNotify)
                return e.xmap.window;
        }
        usleep(200);
    }
    return 0;
}

Run Once(Display* d, const char* game)
{
    Run r;
    XSync(d, True);  // forget earlier runs' events
    const auto start = Clock::now();
    const pid_t pid = Spawn({game});
    Window box = 0, board = 0;
    g_box = 0;
    g_boxIsGone = false;
    while (!board) {
        const Window w = NextMapped(d, start, 10000);
        if (!w)
            break;
        if (IsBoard(d, w)) {
            board = w;
        } else if (!box) {
            box = g_box = w;
            r.box = Ms(start);
            const pid_t key = Spawn({"xdotool", "mousemove", "--window", std::to_string(w), "5",
                                     "5", "key", "Return"});
            waitpid(key, nullptr, 0);
        }
    }
    if (board) {
        while (!BoardDrawn(d, board) && Ms(start) < 20000)
            usleep(200);
        const auto drawn = Clock::now();
        r.board = Ms(start);
        Drain(d);
        if (g_boxIsGone)
            r.boardAfterAnswer = std::chrono::duration<double, std::milli>(drawn - g_boxGone).count();
    }
    const auto term = Clock::now();
    kill(pid, SIGTERM);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (Ms(term) > 5000) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        usleep(200);
    }
    r.exit = Ms(term);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return r;
}

// A window may go between its event and a question about it: not a failure of the probe.
int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: start_probe GAME RUNS\n");
        return 2;
    }
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        fprintf(stderr, "start_probe: no display\n");
        return 1;
    }
    XSetErrorHandler(IgnoreErrors);
    XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
    const int runs = atoi(argv[2]);
    std::vector<double> boxes, boards, afterAnswer, exits;
    int failures = 0;
    printf("run  box_ms  board_ms  board_after_answer_ms  sigterm_to_exit_ms  exit\n");
    for (int i = 0; i < runs; ++i) {
        const Run r = Once(d, argv[1]);
        printf("%3d %7.1f %9.1f %22.1f %19.1f %5d\n", i + 1, r.box, r.board, r.boardAfterAnswer,
               r.exit, r.status);
        fflush(stdout);
        failures += r.board < 0 || r.status != 0;
        boxes.push_back(r.box);
        boards.push_back(r.board);
        afterAnswer.push_back(r.boardAfterAnswer);
        exits.push_back(r.exit);
    }
    printf("median %7.1f %9.1f %22.1f %19.1f  (max %.1f / %.1f / %.1f)\n", Median(boxes),
           Median(boards), Median(afterAnswer), Median(exits),
           *std::max_element(boards.begin(), boards.end()),
           *std::max_element(afterAnswer.begin(), afterAnswer.end()),
           *std::max_element(exits.begin(), exits.end()));
    XCloseDisplay(d);
    return failures ? 1 : 0;
}
