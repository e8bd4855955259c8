#include "backend/headless/headless.h"

#include <algorithm>
#include <map>
#include <utility>

#include "backend/backend.h"
#include "mci/mci.h"
#include "user/wm.h"

namespace {

struct OpenBox {
    size_t record;  // index into g_boxes
    int result;
};

uint64_t g_now = 0;
uint32_t g_tickOrigin = 0;
// Keyed by (time, sequence), so events at the same time keep the order they were scripted in.
std::map<std::pair<uint64_t, uint64_t>, std::function<void()>> g_script;
std::map<std::pair<uint64_t, uint64_t>, std::function<void()>> g_after;
uint64_t g_sequence = 0;
std::function<void(HWND)> g_paintObserver;
uint64_t g_boxDelay = 0;
std::function<int(const HeadlessBox&)> g_answerer;
std::vector<HeadlessBox> g_boxes;
std::map<int, OpenBox> g_openBoxes;
int g_nextBox = 1;
int g_screenW = 1280, g_screenH = 1024, g_workW = 1280, g_workH = 994;

HWND InputTarget()
{
    std::vector<HWND> windows = WmTopLevelWindows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        if (IsWindowVisible(*it))
            return *it;
    return nullptr;
}

uint64_t NextEventTime()
{
    uint64_t next = g_script.empty() ? kNoDeadline : g_script.begin()->first.first;
    for (const auto& [id, box] : g_openBoxes)
        next = std::min(next, g_boxes[box.record].answeredAt);
    return next;
}

}  // namespace

void HeadlessReset(uint32_t startTick)
{
    g_script.clear();
    g_after.clear();
    g_paintObserver = nullptr;
    g_openBoxes.clear();
    MciReset();
    WmReset();
    g_now = 0;
    g_tickOrigin = startTick;
    g_sequence = 0;
    g_boxDelay = 0;
    g_answerer = nullptr;
    g_boxes.clear();
}

uint64_t HeadlessNow() { return g_now; }

void HeadlessAdvanceTo(uint64_t ms) { g_now = std::max(g_now, ms); }

void HeadlessAt(uint64_t ms, std::function<void()> action)
{
    g_script.emplace(std::make_pair(ms, g_sequence++), std::move(action));
}

void HeadlessAfter(uint64_t ms, std::function<void()> action)
{
    g_after.emplace(std::make_pair(ms, g_sequence++), std::move(action));
}

void HeadlessSetPaintObserver(std::function<void(HWND)> observer)
{
    g_paintObserver = std::move(observer);
}

void HeadlessClickAt(uint64_t ms, int x, int y)
{
    HeadlessAt(ms, [x, y] {
        if (HWND target = InputTarget()) {
            WmQueueInput(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
            WmQueueInput(target, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        }
    });
}

void HeadlessCloseAt(uint64_t ms)
{
    HeadlessAt(ms, [] {
        if (HWND target = InputTarget())
            WmQueueInput(target, WM_CLOSE, 0, 0);
    });
}

void HeadlessSetBoxDelay(uint64_t ms) { g_boxDelay = ms; }

void HeadlessSetBoxAnswerer(std::function<int(const HeadlessBox&)> answerer)
{
    g_answerer = std::move(answerer);
}

const std::vector<HeadlessBox>& HeadlessBoxes() { return g_boxes; }

void HeadlessSetScreen(int width, int height, int workWidth, int workHeight)
{
    g_screenW = width;
    g_screenH = height;
    g_workW = workWidth;
    g_workH = workHeight;
}

// The backend interface.

uint64_t BackendNow() { return g_now; }

uint32_t BackendTickOrigin() { return g_tickOrigin; }

void BackendPoll()
{
    while (!g_script.empty() && g_script.begin()->first.first <= g_now) {
        auto action = std::move(g_script.begin()->second);
        g_script.erase(g_script.begin());
        action();
    }
}

bool BackendWait(uint64_t deadline)
{
    const uint64_t next = std::min(deadline, NextEventTime());
    // Idle means everything due so far is done: the moment for actions due "after" it.
    if (!g_after.empty() && (next == kNoDeadline || g_after.begin()->first.first < next)) {
        auto action = std::move(g_after.begin()->second);
        g_now = std::max(g_now, g_after.begin()->first.first);
        g_after.erase(g_after.begin());
        action();
        return true;
    }
    if (next == kNoDeadline)
        return false;
    g_now = std::max(g_now, next);
    BackendPoll();
    return true;
}

// Slow work runs inline on the virtual clock: nothing finishes behind the loop's back.
void BackendWake() {}

void BackendScreenSize(int* cx, int* cy)
{
    *cx = g_screenW;
    *cy = g_screenH;
}

void BackendWorkArea(int* cx, int* cy)
{
    *cx = g_workW;
    *cy = g_workH;
}

bool BackendStartup() { return true; }
bool BackendWindowCreated(HWND) { return true; }
void BackendWindowShown(HWND, int) {}
void BackendWindowDestroyed(HWND) {}
void BackendWindowPainted(HWND hwnd)
{
    if (g_paintObserver)
        g_paintObserver(hwnd);
}

int BackendBoxOpen(HWND owner, const char* text, const char* caption, UINT type)
{
    HeadlessBox box;
    box.owner = owner;
    box.caption = caption;
    box.text = text;
    box.type = type;
    box.openedAt = g_now;
    box.answeredAt = g_now + g_boxDelay;
    g_boxes.push_back(box);
    const int id = g_nextBox++;
    g_openBoxes[id] = OpenBox{g_boxes.size() - 1, g_answerer ? g_answerer(box) : IDOK};
    return id;
}

bool BackendBoxAnswered(int id, int* result)
{
    auto it = g_openBoxes.find(id);
    if (it == g_openBoxes.end() || g_boxes[it->second.record].answeredAt > g_now)
        return false;
    *result = it->second.result;
    return true;
}

void BackendBoxClose(int id) { g_openBoxes.erase(id); }
