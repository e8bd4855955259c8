#include "gdi/png.h"

#include <png.h>

#include <vector>

bool WriteSurfacePng(const Surface& surface, const char* path)
{
    if (!path || surface.width <= 0 || surface.height <= 0)
        return false;
    std::vector<uint8_t> rgb;
    rgb.reserve(surface.pixels.size() * 3);
    for (uint32_t p : surface.pixels) {
        rgb.push_back(static_cast<uint8_t>(p >> 16));
        rgb.push_back(static_cast<uint8_t>(p >> 8));
        rgb.push_back(static_cast<uint8_t>(p));
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(surface.width);
    image.height = static_cast<png_uint_32>(surface.height);
    image.format = PNG_FORMAT_RGB;
    const bool ok = png_image_write_to_file(&image, path, 0, rgb.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return ok;
}
