// Resources compiled into the program. On Windows the linker puts them in the image; here a
// generated source registers a table of the same files before main runs.
#pragma once

#include <windows.h>

#include <cstddef>

#include "gdi/surface.h"

// The kinds a table holds: a .bmp file, and an .ico file standing for an icon group.
constexpr int kResourceBitmap = 2;
constexpr int kResourceIcon = 14;

struct ProgramResource {
    int kind;
    int id;
    const unsigned char* data;
    size_t size;
};

void RegisterProgramResources(const ProgramResource* table, size_t count);
// The resource of that kind and number, or null.
const ProgramResource* FindProgramResource(int kind, int id);

// The image of an icon from LoadIconA nearest in size to `size` pixels (the largest with 0),
// pixels 0xAARRGGBB with alpha 0 or 255, so a backend can make a window icon of it. Null for
// a handle without pixels.
const Surface* IconImage(HICON icon, int size);
