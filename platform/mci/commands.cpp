// mciSendStringA: a MIDI sequencer driven by command strings, playing Standard MIDI Files
// on the synthesizer. A device is named by the file name it was opened with. All of this
// runs on the window thread; a song's end is noticed by a wake source of the message loop,
// so MM_MCINOTIFY is posted from there and wakes the loop on any clock.
//
// The synthesizer starts as slow work (synth.h), so commands never wait for it:
//   Off --first open, or MciPrepare--> Starting --start finished--> Ready --last close--> Off
// "open" checks the file and returns at once. A play asked for while Starting waits: its
// clock stands still and no end is looked for; it begins, from where it was, once the
// synthesizer is Ready, whether sounding or (no device) silent. So a song is heard whole, and
// MM_MCINOTIFY comes one song after the sound began. A start that never finishes (a sound
// server that never answers) leaves the play waiting for good: the game runs silently and its
// loop never spins. The output wakes the loop when a start finishes; a waiting play also
// checks, ever less often, down to four times a second.
#include <mmsystem.h>
#include <strings.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "backend/backend.h"
#include "mci/mci.h"
#include "mci/output.h"
#include "mci/song.h"
#include "mci/synth.h"
#include "user/trace.h"
#include "user/wm.h"

namespace {

// A device's player may run behind the clock (a device buffers, a block is pending): the
// end is checked again this often, and taken as reached this late at the most, so a
// stalled device never holds the loop.
constexpr uint64_t kRecheckMs = 2;
constexpr uint64_t kMaxLateMs = 2000;
// While the synthesizer starts, a waiting play looks for it soon, then ever less often.
constexpr uint64_t kFirstStartCheckMs = 4;
constexpr uint64_t kLastStartCheckMs = 256;

struct Device {
    std::string name;
    UINT id = 0;
    uint32_t endTick = 0;
    uint64_t lengthMs = 0;
    std::vector<uint8_t> bytes;        // the file, until the synthesizer is there for it
    fluid_player_t* player = nullptr;  // none while nothing sounds the synthesizer
    bool playing = false;
    bool waiting = false;        // playing, but the synthesizer is still starting
    bool playerRunning = false;  // this play started the player
    uint64_t position = 0;       // ms from the start, while stopped
    uint64_t startedAt = 0;      // the clock when this play began, and the position then
    uint64_t startPosition = 0;
    uint64_t due = kNoDeadline;   // when the end is looked for next
    HWND notifyWindow = nullptr;  // the window waiting for this play's notification
};

enum class SynthState { Off, Starting, Ready };

std::vector<std::unique_ptr<Device>> g_devices;
Synth g_synth;  // while Ready
SynthState g_state = SynthState::Off;
uint64_t g_startCheckDue = 0, g_startCheckStep = kFirstStartCheckMs;

uint64_t NextDue()
{
    uint64_t due = kNoDeadline;
    for (const auto& d : g_devices)
        if (d->playing)
            due = std::min(due, !d->waiting ? d->due : SynthFinished() ? 0 : g_startCheckDue);
    return due;
}

void Fire(uint64_t now);
const WmWakeSource kSongEnd{NextDue, Fire};

bool Same(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

Device* Find(const std::string& name)
{
    for (const auto& d : g_devices)
        if (Same(d->name, name.c_str()))
            return d.get();
    return nullptr;
}

// Each play gets exactly one notification: its end, its abort, or being superseded.
void Notify(Device* d, WPARAM flag)
{
    if (HWND window = d->notifyWindow) {
        d->notifyWindow = nullptr;
        PostMessageA(window, MM_MCINOTIFY, flag, d->id);
    }
}

uint64_t PositionAt(const Device* d, uint64_t now)
{
    if (!d->playing || d->waiting)
        return d->position;
    return std::min(d->lengthMs, d->startPosition + (now - d->startedAt));
}

// Ends a play, by a command (silent at once) or at the song's end (release tails ring on).
void Halt(Device* d, uint64_t now, bool silence)
{
    d->position = PositionAt(d, now);
    d->playing = false;
    d->waiting = false;
    d->due = kNoDeadline;
    if (d->playerRunning) {
        fluid_player_stop(d->player);
        if (silence)
            fluid_synth_all_sounds_off(g_synth.synth, -1);
    }
    d->playerRunning = false;
}

bool PlayerAtEnd(const Device* d)
{
    return !d->playerRunning || fluid_player_get_status(d->player) != FLUID_PLAYER_PLAYING ||
           fluid_player_get_current_tick(d->player) >= static_cast<int>(d->endTick);
}

// The device's player, once the synthesizer sounds; the file stays with the player.
void AttachPlayer(Device* d)
{
    if (g_synth.sounding) {
        MciOutputLock();
        d->player = new_fluid_player(g_synth.synth);
        if (d->player &&
            fluid_player_add_mem(d->player, d->bytes.data(), d->bytes.size()) != FLUID_OK) {
            delete_fluid_player(d->player);
            d->player = nullptr;
        }
        MciOutputUnlock();
    }
    d->bytes = {};
}

// A play's clock starts here, from the position it had.
void Begin(Device* d, uint64_t now)
{
    d->waiting = false;
    d->startedAt = now;
    d->startPosition = d->position;
    d->due = now + (d->lengthMs - d->position);
    if (d->player && d->position < d->lengthMs) {
        fluid_player_play(d->player);
        d->playerRunning = true;
    }
}

// Takes the synthesizer once its start has finished, and begins the plays waiting for it.
void Settle(uint64_t now)
{
    if (g_state != SynthState::Starting)
        return;
    if (!SynthTake(&g_synth)) {
        if (now >= g_startCheckDue) {
            g_startCheckDue = now + g_startCheckStep;
            g_startCheckStep = std::min(2 * g_startCheckStep, kLastStartCheckMs);
        }
        return;
    }
    g_state = SynthState::Ready;
    for (const auto& d : g_devices) {
        AttachPlayer(d.get());
        if (d->waiting)
            Begin(d.get(), now);
    }
}

// False when there is no soundfont to start on.
bool StartSynth(uint64_t now)
{
    const std::string soundFont = SynthChooseSoundFont();
    if (soundFont.empty())
        return false;
    SynthStart(soundFont);
    g_state = SynthState::Starting;
    g_startCheckStep = kFirstStartCheckMs;
    g_startCheckDue = now;
    Settle(now);
    return true;
}

void StopSynth()
{
    if (g_state == SynthState::Ready)
        SynthClose(&g_synth);
    else if (g_state == SynthState::Starting)
        SynthAbandon();
    g_state = SynthState::Off;
}

void Fire(uint64_t now)
{
    MciOutputCatchUp(now);
    Settle(now);
    for (const auto& d : g_devices) {
        if (!d->playing || d->waiting || d->due > now)
            continue;
        const uint64_t end = d->startedAt + (d->lengthMs - d->startPosition);
        if (!PlayerAtEnd(d.get()) && now < end + kMaxLateMs) {
            d->due = now + kRecheckMs;
            continue;
        }
        Halt(d.get(), now, false);
        d->position = d->lengthMs;
        Notify(d.get(), MCI_NOTIFY_SUCCESSFUL);
    }
}

UINT FreeId()
{
    for (UINT id = 1;; ++id)
        if (std::none_of(g_devices.begin(), g_devices.end(),
                         [id](const auto& d) { return d->id == id; }))
            return id;
}

// What follows the last dot of the file's own name; empty when nothing does.
std::string Extension(const std::string& name)
{
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || name.find('/', dot) != std::string::npos)
        return {};
    return name.substr(dot + 1);
}

MCIERROR Open(const std::string& name, std::string* reply, uint64_t now)
{
    if (Find(name))
        return MCIERR_DEVICE_OPEN;
    const std::string extension = Extension(name);
    if (extension.empty())
        return MCIERR_INVALID_DEVICE_NAME;  // not a file, and no device of that name
    if (!Same(extension, "mid") && !Same(extension, "midi"))
        return MCIERR_EXTENSION_NOT_FOUND;
    Song song;
    switch (ReadSong(MciFindFile(name), &song)) {
    case SongError::NotFound:
        return MCIERR_FILE_NOT_FOUND;
    case SongError::Invalid:
        return MCIERR_INVALID_FILE;
    case SongError::None:
        break;
    }
    if (g_state == SynthState::Off && !StartSynth(now))
        return MCIERR_SEQ_NOMIDIPRESENT;
    auto d = std::make_unique<Device>();
    d->name = name;
    d->id = FreeId();
    d->endTick = song.endTick;
    d->lengthMs = song.lengthMs;
    d->bytes = std::move(song.bytes);
    if (g_state == SynthState::Ready)
        AttachPlayer(d.get());
    *reply = std::to_string(d->id);
    g_devices.push_back(std::move(d));
    return 0;
}

MCIERROR Play(Device* d, HWND notifyWindow, uint64_t now)
{
    for (const auto& other : g_devices)
        if (other.get() != d && other->playing)
            return MCIERR_SEQ_PORT_INUSE;
    if (notifyWindow)
        Notify(d, MCI_NOTIFY_SUPERSEDED);
    if (!d->playing) {
        d->playing = true;
        if (g_state == SynthState::Ready)
            Begin(d, now);
        else
            d->waiting = true;
    }
    if (notifyWindow)
        d->notifyWindow = notifyWindow;
    WmAddWakeSource(&kSongEnd);
    return 0;
}

void Stop(Device* d, uint64_t now)
{
    if (d->playing) {
        Halt(d, now, true);
        Notify(d, MCI_NOTIFY_ABORTED);
    }
}

void Seek(Device* d, bool toEnd, uint64_t now)
{
    Stop(d, now);
    d->position = toEnd ? d->lengthMs : 0;
    // Playing from the end plays nothing, so the player is only moved to the start.
    if (d->player && !toEnd)
        fluid_player_seek(d->player, 0);
}

void Close(Device* d, uint64_t now)
{
    Stop(d, now);
    if (d->player) {
        MciOutputLock();
        delete_fluid_player(d->player);
        MciOutputUnlock();
    }
    g_devices.erase(std::find_if(g_devices.begin(), g_devices.end(),
                                 [d](const auto& p) { return p.get() == d; }));
    if (g_devices.empty()) {
        WmRemoveWakeSource(&kSongEnd);
        StopSynth();
    }
}

// Words separated by blanks; a word in double quotes may hold blanks.
bool Split(const char* s, std::vector<std::string>* words)
{
    for (;;) {
        while (*s == ' ' || *s == '\t')
            ++s;
        if (!*s)
            return true;
        std::string word;
        if (*s == '"') {
            const char* close = strchr(s + 1, '"');
            if (!close)
                return false;
            word.assign(s + 1, close);
            s = close + 1;
        } else {
            while (*s && *s != ' ' && *s != '\t')
                word += *s++;
        }
        words->push_back(word);
    }
}

enum class Verb { Open, Play, Seek, Stop, Close };

MCIERROR Run(LPCSTR command, HWND callback, std::string* reply)
{
    std::vector<std::string> words;
    if (!command)
        return MCIERR_MISSING_COMMAND_STRING;
    if (!Split(command, &words))
        return MCIERR_NO_CLOSING_QUOTE;
    if (words.empty())
        return MCIERR_MISSING_COMMAND_STRING;
    static const std::pair<const char*, Verb> kVerbs[] = {{"open", Verb::Open},
                                                          {"play", Verb::Play},
                                                          {"seek", Verb::Seek},
                                                          {"stop", Verb::Stop},
                                                          {"close", Verb::Close}};
    const auto verb = std::find_if(std::begin(kVerbs), std::end(kVerbs),
                                   [&](const auto& v) { return Same(words[0], v.first); });
    if (verb == std::end(kVerbs))
        return MCIERR_UNRECOGNIZED_COMMAND;
    if (words.size() < 2)
        return MCIERR_MISSING_DEVICE_NAME;
    const std::string& name = words[1];

    bool notify = false;
    int seekTo = -1;  // 0 the start, 1 the end
    for (size_t i = 2; i < words.size(); ++i) {
        if (Same(words[i], "notify")) {
            notify = true;
        } else if (verb->second == Verb::Seek && Same(words[i], "to")) {
            if (++i == words.size())
                return MCIERR_MISSING_PARAMETER;
            if (Same(words[i], "start"))
                seekTo = 0;
            else if (Same(words[i], "end"))
                seekTo = 1;
            else
                return MCIERR_UNSUPPORTED_FUNCTION;  // positions within a song are not kept
        } else {
            return MCIERR_UNRECOGNIZED_KEYWORD;
        }
    }
    if (verb->second == Verb::Seek && seekTo < 0)
        return MCIERR_MISSING_PARAMETER;

    const uint64_t now = BackendNow();
    MciOutputCatchUp(now);
    Settle(now);
    if (verb->second == Verb::Open) {
        const MCIERROR result = Open(name, reply, now);
        if (result == 0 && notify && callback)
            PostMessageA(callback, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, Find(name)->id);
        return result;
    }
    if (verb->second == Verb::Close && Same(name, "all")) {
        while (!g_devices.empty())
            Close(g_devices.front().get(), now);
        return 0;
    }
    Device* d = Find(name);
    if (!d)
        return MCIERR_INVALID_DEVICE_NAME;
    const UINT id = d->id;
    switch (verb->second) {
    case Verb::Play:
        return Play(d, notify ? callback : nullptr, now);
    case Verb::Seek:
        Seek(d, seekTo == 1, now);
        break;
    case Verb::Stop:
        Stop(d, now);
        break;
    case Verb::Close:
        Close(d, now);
        break;
    case Verb::Open:
        break;
    }
    if (notify && callback)
        PostMessageA(callback, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, id);
    return 0;
}

}  // namespace

MCIERROR WINAPI mciSendStringA(LPCSTR command, LPSTR returnString, UINT returnLength,
                               HWND callback)
{
    if (returnString && returnLength)
        returnString[0] = '\0';
    std::string reply;
    MCIERROR result = Run(command, callback, &reply);
    if (result == 0 && returnString && returnLength) {
        if (reply.size() >= returnLength)
            result = MCIERR_PARAM_OVERFLOW;
        else
            memcpy(returnString, reply.c_str(), reply.size() + 1);
    }
    if (TraceOn())
        TraceCall("mciSendStringA %s callback=%s -> %lu", TraceText(command).c_str(),
                  callback ? "window" : "none", static_cast<unsigned long>(result));
    return result;
}

void MciReset()
{
    for (const auto& d : g_devices)
        d->notifyWindow = nullptr;
    while (!g_devices.empty())
        Close(g_devices.front().get(), BackendNow());
    StopSynth();
    SynthResetMessages();
    MciOutputReset();
}

void MciPrepare()
{
    if (g_state == SynthState::Off)
        StartSynth(BackendNow());
}

void MciFinishStarting()
{
    MciOutputFinishSlow();
    Settle(BackendNow());
}
