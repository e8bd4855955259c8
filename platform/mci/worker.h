// A thread of the platform's own for the music's slow work: reading a soundfont, opening and
// closing an audio device, waiting on a sound server that may never answer. Jobs run one at
// a time in the order given, so a close always follows the start it undoes.
#pragma once

#include <functional>

// Queues a job; returns at once.
void WorkerRun(std::function<void()> job);
// Blocks until every job queued so far has run; for tests and benchmarks only.
void WorkerFinish();
