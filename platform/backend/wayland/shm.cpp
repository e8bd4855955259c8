// Shared-memory buffers for presenting.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "backend/wayland/wayland.h"

namespace {

void Released(void* data, wl_buffer*) { static_cast<ShmBuffer*>(data)->busy = false; }

const wl_buffer_listener kBufferListener = {Released};

}  // namespace

bool ShmBufferMake(ShmBuffer& b, int width, int height, uint32_t format)
{
    const size_t stride = static_cast<size_t>(width) * 4;
    const size_t size = stride * static_cast<size_t>(height);
    const int fd = memfd_create("discfire-frame", MFD_CLOEXEC);
    if (fd < 0)
        return false;
    void* pixels = MAP_FAILED;
    if (ftruncate(fd, static_cast<off_t>(size)) == 0)
        pixels = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (pixels == MAP_FAILED) {
        close(fd);
        return false;
    }
    wl_shm_pool* pool = wl_shm_create_pool(g_wl.shm, fd, static_cast<int32_t>(size));
    b.buffer = wl_shm_pool_create_buffer(pool, 0, width, height, static_cast<int32_t>(stride),
                                         format);
    wl_shm_pool_destroy(pool);
    close(fd);
    b.pixels = static_cast<uint32_t*>(pixels);
    b.width = width;
    b.height = height;
    b.busy = false;
    wl_buffer_add_listener(b.buffer, &kBufferListener, &b);
    return true;
}

void ShmBufferFree(ShmBuffer& b)
{
    if (b.buffer)
        wl_buffer_destroy(b.buffer);
    if (b.pixels)
        munmap(b.pixels, static_cast<size_t>(b.width) * b.height * 4);
    b = ShmBuffer{};
}

void ShmBufferFill(ShmBuffer& b, const Surface& s, int scale)
{
    const int w = std::min(s.width, b.width / scale), h = std::min(s.height, b.height / scale);
    for (int y = 0; y < h; ++y) {
        uint32_t* row = b.pixels + static_cast<size_t>(y) * scale * b.width;
        const uint32_t* src = s.pixels.data() + static_cast<size_t>(y) * s.width;
        if (scale == 1) {
            memcpy(row, src, static_cast<size_t>(w) * 4);
            continue;
        }
        for (int x = 0; x < w; ++x)
            std::fill_n(row + x * scale, scale, src[x]);
        for (int k = 1; k < scale; ++k)
            memcpy(row + static_cast<size_t>(k) * b.width, row, static_cast<size_t>(b.width) * 4);
    }
}
