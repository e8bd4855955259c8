// Reading the Windows image formats that resources come in. Every size and offset is checked:
// malformed data is refused, never read past.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gdi/surface.h"

// A .bmp file: 1, 4, 8, 24 or 32 bits per pixel, uncompressed. Pixels become 0x00RRGGBB.
bool DecodeBmpFile(const uint8_t* data, size_t size, Surface* out);

// An .ico file's images, in file order. Pixels become 0xAARRGGBB with alpha 0 or 255, taken
// from the AND mask (or from the pixels' own alpha in 32-bit images that carry one).
bool DecodeIcoFile(const uint8_t* data, size_t size, std::vector<Surface>* out);
