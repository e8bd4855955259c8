// Small Standard MIDI Files for tests, written byte by byte so a test can break any part.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

inline Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline Bytes Be32(uint32_t v)
{
    return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
}

inline Bytes VarLen(uint32_t v)
{
    Bytes out{uint8_t(v & 0x7F)};
    while (v >>= 7)
        out.insert(out.begin(), uint8_t(0x80 | (v & 0x7F)));
    return out;
}

inline Bytes Header(uint16_t format, uint16_t tracks, uint16_t division)
{
    return Bytes{'M', 'T', 'h', 'd'} + Be32(6) +
           Bytes{uint8_t(format >> 8), uint8_t(format), uint8_t(tracks >> 8), uint8_t(tracks),
                 uint8_t(division >> 8), uint8_t(division)};
}

inline Bytes Chunk(const char* id, const Bytes& body)
{
    return Bytes(id, id + 4) + Be32(static_cast<uint32_t>(body.size())) + body;
}

inline Bytes TrackChunk(const Bytes& events) { return Chunk("MTrk", events); }

inline Bytes EndOfTrack(uint32_t delta = 0) { return VarLen(delta) + Bytes{0xFF, 0x2F, 0x00}; }

inline Bytes Tempo(uint32_t delta, uint32_t usPerQuarter)
{
    return VarLen(delta) + Bytes{0xFF, 0x51, 0x03, uint8_t(usPerQuarter >> 16),
                                 uint8_t(usPerQuarter >> 8), uint8_t(usPerQuarter)};
}

// A piano note on channel 0 from `delta` for `ticks`.
inline Bytes Note(uint32_t delta, uint32_t ticks, uint8_t key = 60)
{
    return VarLen(delta) + Bytes{0x90, key, 100} + VarLen(ticks) + Bytes{0x80, key, 0};
}

// A format 0 song of one note held for `ms` at 120 a minute (480 ticks a quarter).
inline Bytes OneNoteSong(uint32_t ms)
{
    return Header(0, 1, 480) + TrackChunk(Note(0, ms * 480 / 500) + EndOfTrack());
}

inline void WriteFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
