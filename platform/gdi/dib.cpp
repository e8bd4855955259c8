#include "gdi/dib.h"

namespace {

constexpr int kMaxSide = 16384;

uint32_t U16(const uint8_t* p) { return p[0] | (p[1] << 8); }
uint32_t U32(const uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

size_t Stride(int width, int bits) { return (static_cast<size_t>(width) * bits + 31) / 32 * 4; }

struct Dib {
    int width = 0;
    int height = 0;  // of the colour image: half of an icon's header height
    bool topDown = false;
    int bits = 0;
    std::vector<uint32_t> palette;
    const uint8_t* pixels = nullptr;  // the colour rows
    const uint8_t* mask = nullptr;    // icons: the AND mask rows
};

// Reads a BITMAPINFOHEADER and its palette. `pixels` is where the rows start, or null to
// take them right after the palette (as in icons); `end` bounds everything.
bool ParseDib(const uint8_t* header, const uint8_t* end, const uint8_t* pixels, bool icon, Dib* dib)
{
    if (end - header < 40)
        return false;
    const uint32_t headerSize = U32(header);
    const int32_t width = static_cast<int32_t>(U32(header + 4));
    int32_t height = static_cast<int32_t>(U32(header + 8));
    const uint32_t planes = U16(header + 12), bits = U16(header + 14);
    const uint32_t compression = U32(header + 16), colours = U32(header + 32);
    if (headerSize < 40 || headerSize > static_cast<size_t>(end - header) || planes != 1 ||
        compression != 0)
        return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return false;
    dib->topDown = height < 0 && !icon;
    if (height < 0) {
        if (icon || height == INT32_MIN)
            return false;
        height = -height;
    }
    if (icon)
        height /= 2;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return false;
    dib->width = width;
    dib->height = height;
    dib->bits = static_cast<int>(bits);

    const uint8_t* p = header + headerSize;
    if (bits <= 8) {
        const size_t count = colours ? colours : (size_t{1} << bits);
        if (count > 256 || static_cast<size_t>(end - p) < count * 4)
            return false;
        for (size_t i = 0; i < count; ++i, p += 4)
            dib->palette.push_back((U32(p) & 0x00FFFFFF));  // BGRx: already 0x00RRGGBB
    }
    dib->pixels = pixels ? pixels : p;
    if (dib->pixels < header || dib->pixels > end)
        return false;
    const size_t colourBytes = Stride(width, dib->bits) * static_cast<size_t>(height);
    if (static_cast<size_t>(end - dib->pixels) < colourBytes)
        return false;
    if (icon) {
        dib->mask = dib->pixels + colourBytes;
        if (static_cast<size_t>(end - dib->mask) < Stride(width, 1) * static_cast<size_t>(height))
            return false;
    }
    return true;
}

// Pixel x of a stored row, as 0xAARRGGBB (alpha only meaningful for 32-bit rows).
bool ReadPixel(const Dib& dib, const uint8_t* row, int x, uint32_t* out)
{
    uint32_t index = 0;
    switch (dib.bits) {
    case 1:
        index = (row[x / 8] >> (7 - x % 8)) & 1;
        break;
    case 4:
        index = (row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF;
        break;
    case 8:
        index = row[x];
        break;
    case 24:
        *out = 0xFF000000 | row[3 * x] | (row[3 * x + 1] << 8) | (row[3 * x + 2] << 16);
        return true;
    default:
        *out = U32(row + 4 * x);
        return true;
    }
    if (index >= dib.palette.size())
        return false;
    *out = 0xFF000000 | dib.palette[index];
    return true;
}

bool Render(const Dib& dib, bool withAlpha, Surface* out)
{
    out->Resize(dib.width, dib.height, 0);
    const size_t stride = Stride(dib.width, dib.bits);
    const size_t maskStride = Stride(dib.width, 1);
    // 32-bit icon images carry their own alpha unless it is zero throughout.
    bool ownAlpha = false;
    for (int y = 0; y < dib.height; ++y) {
        const int stored = dib.topDown ? y : dib.height - 1 - y;
        const uint8_t* row = dib.pixels + stride * static_cast<size_t>(stored);
        uint32_t* to = out->Row(y);
        for (int x = 0; x < dib.width; ++x) {
            uint32_t p = 0;
            if (!ReadPixel(dib, row, x, &p))
                return false;
            if (dib.bits == 32 && (p >> 24))
                ownAlpha = true;
            to[x] = p;
        }
    }
    for (int y = 0; y < dib.height; ++y) {
        uint32_t* to = out->Row(y);
        const uint8_t* mask =
            dib.mask ? dib.mask + maskStride * static_cast<size_t>(dib.height - 1 - y) : nullptr;
        for (int x = 0; x < dib.width; ++x) {
            uint32_t alpha = 0xFF;
            if (withAlpha && dib.bits == 32 && ownAlpha)
                alpha = (to[x] >> 24) >= 0x80 ? 0xFF : 0;
            else if (withAlpha && mask && ((mask[x / 8] >> (7 - x % 8)) & 1))
                alpha = 0;
            to[x] = withAlpha ? (alpha << 24) | (alpha ? to[x] & 0x00FFFFFF : 0) : to[x] & 0x00FFFFFF;
        }
    }
    return true;
}

}  // namespace

bool DecodeBmpFile(const uint8_t* data, size_t size, Surface* out)
{
    if (!data || size < 14 + 40 || data[0] != 'B' || data[1] != 'M')
        return false;
    const uint32_t offset = U32(data + 10);
    if (offset >= size)
        return false;
    Dib dib;
    return ParseDib(data + 14, data + size, data + offset, false, &dib) && Render(dib, false, out);
}

bool DecodeIcoFile(const uint8_t* data, size_t size, std::vector<Surface>* out)
{
    if (!data || size < 6 || U16(data) != 0 || U16(data + 2) != 1)
        return false;
    const size_t count = U16(data + 4);
    if (count == 0 || size < 6 + 16 * count)
        return false;
    std::vector<Surface> images;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* entry = data + 6 + 16 * i;
        const uint32_t bytes = U32(entry + 8), offset = U32(entry + 12);
        if (offset > size || bytes > size - offset)
            return false;
        Dib dib;
        Surface image;
        if (!ParseDib(data + offset, data + offset + bytes, nullptr, true, &dib) ||
            !Render(dib, true, &image))
            return false;
        images.push_back(std::move(image));
    }
    *out = std::move(images);
    return true;
}
