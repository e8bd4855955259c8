// Saving a surface as a PNG file: frames of the replay tool, and what a failing test saw.
#pragma once

#include "gdi/surface.h"

// An RGB image of the surface's pixels; false when the file cannot be written.
bool WriteSurfacePng(const Surface& surface, const char* path);
