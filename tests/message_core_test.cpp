// The window manager's message core on the headless backend.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "backend/headless/headless.h"
#include "user/trace.h"
#include "user/wm.h"

namespace {

struct Seen {
    UINT message;
    WPARAM wParam;
    uint64_t at;
};

std::vector<Seen> g_seen;
bool g_invalidateOnTimer = false;
bool g_createFails = false;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    g_seen.push_back({msg, wParam, HeadlessNow()});
    switch (msg) {
    case WM_CREATE:
        return g_createFails ? -1 : 0;
    case WM_TIMER:
        if (g_invalidateOnTimer)
            InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(3);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

class MessageCore : public ::testing::Test {
protected:
    void SetUp() override
    {
        HeadlessReset(0);
        g_seen.clear();
        g_invalidateOnTimer = false;
        g_createFails = false;
        brush = CreateSolidBrush(RGB(10, 20, 30));
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = RecordingProc;
        wc.hbrBackground = brush;
        wc.lpszClassName = "CORE";
        ASSERT_TRUE(RegisterClassExA(&wc));
    }
    void TearDown() override
    {
        HeadlessReset(0);
        DeleteObject(brush);
    }

    HWND Create(bool show = true)
    {
        HWND h = CreateWindowExA(0, "core", "title", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 10,
                                 20, 600, 300, nullptr, nullptr, nullptr, nullptr);
        if (h && show) {
            ShowWindow(h, SW_SHOWNORMAL);
            UpdateWindow(h);
        }
        g_seen.clear();
        return h;
    }

    // Runs the loop until a message of this kind has been dispatched count times.
    std::vector<MSG> Pump(size_t count, UINT until = WM_NULL)
    {
        std::vector<MSG> got;
        MSG m;
        size_t hits = 0;
        while (hits < count && GetMessageA(&m, nullptr, 0, 0) > 0) {
            got.push_back(m);
            DispatchMessageA(&m);
            if (until == WM_NULL || m.message == until)
                ++hits;
        }
        return got;
    }

    std::vector<UINT> Seen(UINT a, UINT b = WM_NULL)
    {
        std::vector<UINT> out;
        for (const auto& s : g_seen)
            if (s.message == a || s.message == b)
                out.push_back(s.message);
        return out;
    }

    HBRUSH brush = nullptr;
};

TEST_F(MessageCore, CreateRunsWmCreateBeforeReturningAndSizesTheClientArea)
{
    HWND h = CreateWindowExA(0, "CORE", "t", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 600,
                             300, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(h);
    ASSERT_GE(g_seen.size(), 2u);
    EXPECT_EQ(g_seen[0].message, static_cast<UINT>(WM_NCCREATE));
    EXPECT_EQ(g_seen[1].message, static_cast<UINT>(WM_CREATE));
    RECT rc;
    GetClientRect(h, &rc);
    EXPECT_EQ(rc.right, 594);  // 3-px borders and a 19-px caption
    EXPECT_EQ(rc.bottom, 275);

    g_createFails = true;
    g_seen.clear();
    EXPECT_EQ(CreateWindowExA(0, "CORE", "t", WS_CAPTION, 0, 0, 100, 100, nullptr, nullptr,
                              nullptr, nullptr),
              nullptr);
    EXPECT_EQ(Seen(WM_DESTROY), std::vector<UINT>{WM_DESTROY});
    EXPECT_EQ(CreateWindowExA(0, "NOSUCH", "t", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
              nullptr);
}

TEST_F(MessageCore, UpdateWindowPaintsAtOnceAndEraseUsesTheClassBrush)
{
    HWND h = CreateWindowExA(0, "CORE", "t", WS_CAPTION, 0, 0, 600, 300, nullptr, nullptr, nullptr,
                             nullptr);
    ShowWindow(h, SW_SHOWNORMAL);
    g_seen.clear();
    UpdateWindow(h);
    EXPECT_EQ(Seen(WM_PAINT, WM_ERASEBKGND), (std::vector<UINT>{WM_PAINT, WM_ERASEBKGND}));
    const Surface& s = WmFind(h)->surface;
    EXPECT_EQ(s.At(0, 0), 0x0A141Eu);
    EXPECT_EQ(s.At(593, 274), 0x0A141Eu);
    MSG m;
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));  // the paint validated it

    // An invalidated part is erased; the rest of the surface is left alone.
    WmFind(h)->surface.pixels.assign(s.pixels.size(), 0);
    const RECT part{10, 10, 20, 30};
    InvalidateRect(h, &part, TRUE);
    UpdateWindow(h);
    EXPECT_EQ(s.At(10, 10), 0x0A141Eu);
    EXPECT_EQ(s.At(19, 29), 0x0A141Eu);
    EXPECT_EQ(s.At(20, 10), 0u);
    EXPECT_EQ(s.At(9, 29), 0u);
}

TEST_F(MessageCore, QueueServesPostedThenInputThenPaintThenTimer)
{
    HWND h = Create();
    SetTimer(h, 1, 10, nullptr);
    HeadlessClickAt(10, 50, 60);
    HeadlessAt(10, [h] {
        InvalidateRect(h, nullptr, TRUE);
        PostMessageA(h, WM_USER, 0, 0);
    });
    std::vector<MSG> got = Pump(1, WM_TIMER);
    std::vector<UINT> order;
    for (const MSG& m : got)
        order.push_back(m.message);
    EXPECT_EQ(order, (std::vector<UINT>{WM_USER, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_PAINT, WM_TIMER}));
    EXPECT_EQ(got[1].lParam, MAKELPARAM(50, 60));
    EXPECT_EQ(got[1].hwnd, h);
    EXPECT_EQ(got[4].time, 10u);
}

TEST_F(MessageCore, APaintRequestedByATickComesBeforeTheNextTick)
{
    HWND h = Create();
    g_invalidateOnTimer = true;
    SetTimer(h, 1, 1, nullptr);
    Pump(1000, WM_TIMER);
    std::vector<UINT> seen = Seen(WM_TIMER, WM_PAINT);
    ASSERT_EQ(seen.size(), 1999u);
    for (size_t i = 0; i < seen.size(); ++i)
        ASSERT_EQ(seen[i], i % 2 ? static_cast<UINT>(WM_PAINT) : static_cast<UINT>(WM_TIMER)) << i;
}

TEST_F(MessageCore, OneMillisecondTimerKeepsItsRateWithoutDrift)
{
    HWND h = Create();
    SetTimer(h, 1, 1, nullptr);
    Pump(10000, WM_TIMER);
    EXPECT_EQ(HeadlessNow(), 10000u);
    std::vector<uint64_t> at;
    for (const auto& s : g_seen)
        if (s.message == WM_TIMER)
            at.push_back(s.at);
    ASSERT_EQ(at.size(), 10000u);
    for (size_t i = 0; i < at.size(); ++i)
        ASSERT_EQ(at[i], i + 1);
}

TEST_F(MessageCore, ALateTimerFiresOnceAndKeepsItsGrid)
{
    HWND h = Create();
    SetTimer(h, 1, 10, nullptr);
    HeadlessAdvanceTo(1005);  // a hundred periods missed
    Pump(3, WM_TIMER);
    std::vector<uint64_t> at;
    for (const auto& s : g_seen)
        if (s.message == WM_TIMER)
            at.push_back(s.at);
    EXPECT_EQ(at, (std::vector<uint64_t>{1005, 1010, 1020}));
}

TEST_F(MessageCore, SetTimerOnAnArmedTimerReplacesItsPeriod)
{
    HWND h = Create();
    SetTimer(h, 1, 100, nullptr);
    SetTimer(h, 2, 1000, nullptr);
    HeadlessAt(50, [h] { SetTimer(h, 1, 30, nullptr); });
    Pump(3, WM_TIMER);
    std::vector<std::pair<WPARAM, uint64_t>> ticks;
    for (const auto& s : g_seen)
        if (s.message == WM_TIMER)
            ticks.emplace_back(s.wParam, s.at);
    EXPECT_EQ(ticks, (std::vector<std::pair<WPARAM, uint64_t>>{{1, 80}, {1, 110}, {1, 140}}));
    EXPECT_TRUE(KillTimer(h, 1));
    EXPECT_FALSE(KillTimer(h, 1));
    Pump(1, WM_TIMER);
    EXPECT_EQ(g_seen.back().wParam, 2u);
    EXPECT_EQ(g_seen.back().at, 1000u);
}

TEST_F(MessageCore, AnAfterActionSeesEverythingDueByItsTime)
{
    HWND h = Create();
    g_invalidateOnTimer = true;
    SetTimer(h, 1, 100, nullptr);
    size_t seenThen = 0;
    uint64_t clockThen = 0;
    HeadlessAfter(200, [&] {
        seenThen = Seen(WM_TIMER, WM_PAINT).size();
        clockThen = HeadlessNow();
    });
    Pump(3, WM_TIMER);
    EXPECT_EQ(seenThen, 4u);  // the ticks at 100 and 200, each with its paint
    EXPECT_EQ(clockThen, 200u);
}

TEST_F(MessageCore, PeekWithoutRemoveLeavesATimerDue)
{
    HWND h = Create();
    SetTimer(h, 1, 10, nullptr);
    HeadlessAdvanceTo(10);
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_TIMER));
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageCore, CloseDestroysAndTheQuitCodeEndsTheLoop)
{
    HWND h = Create();
    SetTimer(h, 1, 10, nullptr);
    HeadlessCloseAt(25);
    MSG m;
    int result;
    while ((result = GetMessageA(&m, nullptr, 0, 0)) > 0)
        DispatchMessageA(&m);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(m.wParam, 3u);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(Seen(WM_CLOSE, WM_DESTROY), (std::vector<UINT>{WM_CLOSE, WM_DESTROY}));
    EXPECT_EQ(Seen(WM_TIMER).size(), 2u);
    EXPECT_FALSE(KillTimer(h, 1));  // died with the window
}

TEST_F(MessageCore, PostedMessagesComeBeforeTheQuit)
{
    PostQuitMessage(9);
    PostMessageA(nullptr, WM_USER + 1, 0, 0);
    MSG m;
    EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), TRUE);
    EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 1));
    EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), FALSE);
    EXPECT_EQ(m.wParam, 9u);
}

TEST_F(MessageCore, AnIdleQueueWithNothingScheduledIsAnErrorNotAHang)
{
    Create();
    MSG m;
    EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), -1);
}

TEST_F(MessageCore, ModalBoxDropsOwnerInputButKeepsItsPaints)
{
    HWND h = Create();
    g_invalidateOnTimer = true;
    SetTimer(h, 1, 100, nullptr);
    HeadlessSetBoxDelay(1000);
    HeadlessClickAt(150, 10, 10);
    HeadlessCloseAt(160);
    HeadlessClickAt(1200, 10, 10);
    EXPECT_EQ(MessageBoxA(h, "text\nline", "caption", MB_OK | MB_ICONERROR), IDOK);
    EXPECT_EQ(HeadlessNow(), 1000u);
    EXPECT_TRUE(IsWindowEnabled(h));
    EXPECT_TRUE(IsWindow(h));
    EXPECT_TRUE(Seen(WM_LBUTTONDOWN, WM_CLOSE).empty());
    EXPECT_EQ(Seen(WM_TIMER).size(), 9u);  // 100 .. 900; the box closes at 1000
    EXPECT_EQ(Seen(WM_PAINT).size(), 9u);

    ASSERT_EQ(HeadlessBoxes().size(), 1u);
    const HeadlessBox& box = HeadlessBoxes()[0];
    EXPECT_EQ(box.owner, h);
    EXPECT_EQ(box.caption, "caption");
    EXPECT_EQ(box.text, "text\nline");
    EXPECT_EQ(box.type, static_cast<UINT>(MB_OK | MB_ICONERROR));

    Pump(1, WM_LBUTTONDOWN);  // input after the box is delivered again
    EXPECT_EQ(g_seen.back().at, 1200u);
}

TEST_F(MessageCore, AnOwnerlessBoxBeforeAnyWindow)
{
    EXPECT_EQ(MessageBoxA(nullptr, "hello", "t", MB_OK | MB_ICONINFORMATION), IDOK);
    ASSERT_EQ(HeadlessBoxes().size(), 1u);
    EXPECT_EQ(HeadlessBoxes()[0].owner, nullptr);
    EXPECT_EQ(HeadlessNow(), 0u);
}

TEST_F(MessageCore, DisabledWindowsTakeNoInput)
{
    HWND h = Create();
    EXPECT_FALSE(EnableWindow(h, FALSE));
    EXPECT_TRUE(EnableWindow(h, FALSE));  // reports that it was disabled already
    HeadlessClickAt(5, 1, 1);
    SetTimer(h, 1, 10, nullptr);
    Pump(1, WM_TIMER);
    EXPECT_TRUE(Seen(WM_LBUTTONDOWN).empty());
}

TEST(Metrics, ScreenAndTickCount)
{
    HeadlessReset(0xFFFFFFF0u);
    HeadlessSetScreen(1024, 768, 1024, 738);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CXFULLSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYFULLSCREEN), 738 - 19);
    EXPECT_EQ(GetTickCount(), 0xFFFFFFF0u);
    HeadlessAdvanceTo(0x20);
    EXPECT_EQ(GetTickCount(), 0x10u);  // wraps as Windows does after 49.7 days
    HeadlessSetScreen(1280, 1024, 1280, 994);
    HeadlessReset(0);
}

TEST(Wsprintf, Conversions)
{
    struct Case {
        const char* expected;
        std::string got;
    };
    char b[1100];
    auto f = [&](int n) { return std::string(b, static_cast<size_t>(n)); };
    const Case cases[] = {
        {"x4 CD-R", f(wsprintfA(b, "x%d CD-R", 4))},
        {" 5|45|123", f(wsprintfA(b, "%2d|%2d|%2d", 5, 45, 123))},
        {"-7|   -7|-7   |-0007", f(wsprintfA(b, "%d|%5d|%-5d|%05d", -7, -7, -7, -7))},
        {"a b 100%", f(wsprintfA(b, "%s %s 100%%", "a", "b"))},
        {"ff FF 4294967295 Z", f(wsprintfA(b, "%x %X %u %c", 255, 255, 0xFFFFFFFFu, 'Z'))},
        {"ab", f(wsprintfA(b, "%.2s", "abc"))},
        {"\x96\xda\x95\x57 3", f(wsprintfA(b, "\x96\xda\x95\x57 %d", 3))},  // 目標 in CP932
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.got, c.expected);

    std::string longText(2000, 'x');
    b[1023] = 'Q';
    b[1024] = 'Q';
    EXPECT_EQ(wsprintfA(b, "%s", longText.c_str()), 1023);
    EXPECT_EQ(b[1023], '\0');
    EXPECT_EQ(b[1024], 'Q');  // never writes past the 1024-byte limit
    EXPECT_EQ(lstrlenA(b), 1023);
    EXPECT_EQ(lstrlenA(nullptr), 0);
}

}  // namespace

namespace {

TEST(Trace, TextIsQuotedUtf8)
{
    // 目標 and ソ (whose second byte is a backslash) in code page 932, a line feed, a quote,
    // and a lone lead byte at the end.
    EXPECT_EQ(TraceText("\x96\xda\x95\x57\x83\x5c\n\"q\"\x81"),
              "\"\u76ee\u6a19\u30bd\\n\\\"q\\\"?\"");
    EXPECT_EQ(TraceText(nullptr), "\"\"");
}

}  // namespace
