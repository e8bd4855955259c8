// A desktop backend as a table of the entry points of backend.h. The shipped program links
// more than one; the bootstrap picks one at start-up and forwards every call to it.
#pragma once

#include <windows.h>

#include <cstdint>

struct BackendTable {
    const char* name;
    // Starts the backend; false when it cannot run here. Says why on stderr only when
    // `last` (no other backend will be tried).
    bool (*startup)(bool last);
    uint64_t (*now)();
    uint32_t (*tickOrigin)();
    void (*poll)();
    bool (*wait)(uint64_t deadline);
    void (*wake)();
    void (*screenSize)(int* cx, int* cy);
    void (*workArea)(int* cx, int* cy);
    bool (*windowCreated)(HWND hwnd);
    void (*windowShown)(HWND hwnd, int cmdShow);
    void (*windowDestroyed)(HWND hwnd);
    void (*windowPainted)(HWND hwnd);
    int (*boxOpen)(HWND owner, const char* text, const char* caption, UINT type);
    bool (*boxAnswered)(int box, int* result);
    void (*boxClose)(int box);
};

extern const BackendTable kSdlBackend;
extern const BackendTable kWaylandBackend;
