// Standard MIDI File checks. The rules are those of the file format, narrowed to what the
// synthesizer's player reads the same way: it reads past a track's end into the next
// chunk, takes running status after meta events, and keeps at most 128 tracks.
#include "mci/song.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace {

constexpr int kMaxTracks = 128;
// Ticks stay well inside the player's int arithmetic.
constexpr uint64_t kMaxTick = uint64_t{1} << 30;
constexpr uint32_t kDefaultTempo = 500000;  // microseconds a quarter note: 120 a minute

struct TempoChange {
    uint64_t tick;
    uint32_t usPerQuarter;
};

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}

    size_t Left() const { return static_cast<size_t>(end_ - p_); }
    bool Byte(uint8_t* b)
    {
        if (p_ == end_)
            return false;
        *b = *p_++;
        return true;
    }
    void Unread() { --p_; }
    bool Skip(size_t n)
    {
        if (n > Left())
            return false;
        p_ += n;
        return true;
    }
    const uint8_t* Here() const { return p_; }
    bool Be32(uint32_t* v)
    {
        if (Left() < 4)
            return false;
        *v = uint32_t{p_[0]} << 24 | uint32_t{p_[1]} << 16 | uint32_t{p_[2]} << 8 | p_[3];
        p_ += 4;
        return true;
    }
    // A variable-length quantity: at most four bytes, as the player reads them.
    bool VarLen(uint32_t* v)
    {
        *v = 0;
        for (int i = 0; i < 4; ++i) {
            uint8_t b;
            if (!Byte(&b))
                return false;
            *v = (*v << 7) | (b & 0x7F);
            if (!(b & 0x80))
                return true;
        }
        return false;
    }

private:
    const uint8_t* p_;
    const uint8_t* end_;
};

// Meta events the player refuses unless their data has this length.
int FixedMetaLength(uint8_t type)
{
    switch (type) {
    case 0x2F: return 0;  // end of track
    case 0x51: return 3;  // tempo
    case 0x54: return 5;  // SMPTE offset
    case 0x58: return 4;  // time signature
    case 0x59: return 2;  // key signature
    default: return -1;
    }
}

// One track chunk's events; its last tick, last note and tempo changes are added to the
// song's.
bool ParseTrack(Reader track, uint64_t* lastTick, uint64_t* lastNoteTick,
                std::vector<TempoChange>* tempos)
{
    uint64_t tick = 0;
    uint8_t running = 0;
    while (track.Left() > 0) {
        uint32_t delta;
        uint8_t status;
        if (!track.VarLen(&delta) || !track.Byte(&status))
            return false;
        tick += delta;
        if (tick > kMaxTick)
            return false;
        *lastTick = std::max(*lastTick, tick);
        if (status < 0x80) {
            // Running status, which only a channel message sets.
            if (!running)
                return false;
            track.Unread();
            status = running;
        }
        if (status < 0xF0) {
            running = status;
            if (status < 0xA0)  // note off or on
                *lastNoteTick = std::max(*lastNoteTick, tick);
            const int dataBytes = (status & 0xE0) == 0xC0 ? 1 : 2;  // program, channel pressure
            for (int i = 0; i < dataBytes; ++i) {
                uint8_t d;
                if (!track.Byte(&d) || d & 0x80)
                    return false;
            }
        } else if (status == 0xF0) {
            running = 0;
            uint32_t length;
            if (!track.VarLen(&length) || !track.Skip(length))
                return false;
        } else if (status == 0xFF) {
            running = 0;
            uint8_t type;
            uint32_t length;
            if (!track.Byte(&type) || !track.VarLen(&length) || length > track.Left())
                return false;
            const int fixed = FixedMetaLength(type);
            if (fixed >= 0 && length != static_cast<uint32_t>(fixed))
                return false;
            const uint8_t* data = track.Here();
            track.Skip(length);
            if (type == 0x51) {
                const uint32_t tempo = uint32_t{data[0]} << 16 | uint32_t{data[1]} << 8 | data[2];
                if (tempo == 0)
                    return false;
                tempos->push_back({tick, tempo});
            } else if (type == 0x2F) {
                return true;  // what follows the end of track is never read
            }
        } else {
            return false;  // escapes and real-time bytes have no place in a file
        }
    }
    return true;
}

// Where a walk along the tempo map stopped: at `lastTick`, or at the cap.
struct Walked {
    uint64_t tick;
    uint64_t elapsed;  // microseconds times the division
    bool capped;
};

// Walks the sorted tempo map from the start to `lastTick`, or until `cap` has elapsed.
// Microseconds times the division keep every step an exact integer: at most 2^30 ticks
// times 2^24 microseconds.
Walked Walk(const std::vector<TempoChange>& tempos, uint64_t lastTick, uint64_t cap)
{
    uint64_t elapsed = 0, tick = 0;
    uint32_t tempo = kDefaultTempo;
    for (size_t i = 0; i <= tempos.size(); ++i) {
        // The last segment ends at the last tick.
        const uint64_t until = i < tempos.size() ? std::min(tempos[i].tick, lastTick) : lastTick;
        if (until > tick) {
            const uint64_t span = (until - tick) * tempo;
            if (elapsed + span > cap)
                return {tick + (cap - elapsed) / tempo, cap, true};
            elapsed += span;
            tick = until;
        }
        if (i < tempos.size())
            tempo = tempos[i].usPerQuarter;
    }
    return {tick, elapsed, false};
}

// Times the song on its tempo map: to its last event, with the silence after its last note
// cut to kSongTrailMs and the whole to kSongMaxMs.
void TimeSong(uint64_t lastTick, uint64_t lastNoteTick, uint32_t division,
              std::vector<TempoChange> tempos, Song* song)
{
    std::stable_sort(tempos.begin(), tempos.end(),
                     [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
    const uint64_t msUnits = uint64_t{1000} * division;
    const uint64_t maxUnits = kSongMaxMs * msUnits;
    const Walked sound = Walk(tempos, lastNoteTick, maxUnits);
    const Walked end = Walk(tempos, lastTick, std::min(maxUnits, sound.elapsed + kSongTrailMs * msUnits));
    song->endTick = static_cast<uint32_t>(end.tick);
    const uint64_t ms = end.capped ? end.elapsed / msUnits : (end.elapsed + msUnits - 1) / msUnits;
    song->lengthMs = std::max(ms, kSongMinMs);
}

}  // namespace

bool ParseSong(const uint8_t* data, size_t size, Song* song)
{
    Reader file(data, size);
    uint32_t id, headerLength;
    if (!file.Be32(&id) || id != 0x4D546864 /* MThd */ || !file.Be32(&headerLength) ||
        headerLength != 6 || file.Left() < 6)
        return false;
    const uint8_t* h = file.Here();
    const unsigned format = h[0] << 8 | h[1];
    const unsigned tracks = h[2] << 8 | h[3];
    const unsigned division = h[4] << 8 | h[5];
    file.Skip(6);
    // Format 2 holds separate songs, which the player would sound at once; SMPTE time
    // (the top bit of the division) it cannot follow.
    if (format > 1 || tracks == 0 || tracks > kMaxTracks || (format == 0 && tracks != 1) ||
        division == 0 || division & 0x8000)
        return false;

    uint64_t lastTick = 0, lastNoteTick = 0;
    std::vector<TempoChange> tempos;
    for (unsigned found = 0; found < tracks;) {
        uint32_t length;
        if (!file.Be32(&id) || !file.Be32(&length) || length > file.Left())
            return false;
        for (int shift = 0; shift < 32; shift += 8) {
            const uint8_t c = static_cast<uint8_t>(id >> shift);
            if (c < 0x20 || c > 0x7E)
                return false;  // not a chunk at all: the file is damaged
        }
        if (id == 0x4D54726B /* MTrk */) {
            if (!ParseTrack(Reader(file.Here(), length), &lastTick, &lastNoteTick, &tempos))
                return false;
            ++found;
        }
        file.Skip(length);  // other chunks are skipped, as the format asks
    }
    song->bytes.assign(data, data + size);
    TimeSong(lastTick, lastNoteTick, division, std::move(tempos), song);
    return true;
}

SongError ReadSong(const std::string& path, Song* song)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return SongError::NotFound;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return S_ISDIR(st.st_mode) ? SongError::NotFound : SongError::Invalid;
    }
    if (st.st_size <= 0 || static_cast<uint64_t>(st.st_size) > kSongMaxBytes) {
        close(fd);
        return SongError::Invalid;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(st.st_size));
    size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<size_t>(n);
    }
    close(fd);
    if (got != bytes.size() || !ParseSong(bytes.data(), bytes.size(), song))
        return SongError::Invalid;
    return SongError::None;
}
