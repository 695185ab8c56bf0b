#pragma once

// Long tasks on a worker thread while this thread keeps the interface alive. No widgets.

#include "core/progress.h"

#include <functional>

// From this many passes a run, or a copy that replays runs, takes long enough to be worth a
// thread.
inline constexpr double passesForWorker = 300000;

// A long task on a worker thread, the way a long run goes: the task reports to the progress it
// is handed, which passes the reports on and says stop once the program is ending; this
// thread meanwhile calls refreshed (when given) and lets the progress show itself every few
// tens of milliseconds, and lets no user input through until the progress says so. Returns
// once the task is over. The progress must be one that any thread may call.
void runOnWorker(ProgressReport& progress, const std::function<void(ProgressReport&)>& task,
                 const std::function<void()>& refreshed = {});
