// The MCI sequencer's own controls, beside the mciSendStringA that programs use: for the
// backends and for tests.
#pragma once

#include <string>
#include <vector>

// Closes every device without notifying anyone, lets the synthesizer go and forgets what
// the output rendered: a fresh headless run.
void MciReset();

// Starts the synthesizer ahead, so that the first "open" finds it ready: the real program
// calls it while the introduction box is up.
void MciPrepare();

// Waits until a start of the synthesizer under way has finished, and takes it: for tests
// and benchmarks that must know the music sounds (or cannot) before they go on.
void MciFinishStarting();

// The file a device name stands for. A bare name is looked for in the current directory,
// then beside the executable, then in the installed data directory (../share/discfire/ from
// the executable's), in any case of its letters; a name with a directory is taken as it is.
std::string MciFindFile(const std::string& name);

// The soundfonts tried, in order, when the synthesizer starts; tests take them away.
void MciSetSoundFonts(std::vector<std::string> paths);
std::vector<std::string> MciDefaultSoundFonts();
