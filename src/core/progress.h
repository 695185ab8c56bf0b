#pragma once

#include <cstdint>

// The progress of a long task and the user's wish to stop it. Shows nothing by itself: the
// desktop shows it in a dialog, tests count it.
class ProgressReport {
public:
    // Which thread may call update(); a report that any thread may call lets a long task run
    // on a worker thread while the interface thread keeps showing it.
    enum class Caller { InterfaceThread, AnyThread };
    // What the interface thread lets through while a worker runs the task: user input waits
    // until the task is done, as it would for a task on the interface thread, unless a
    // dialog that the user may answer is showing.
    enum class Events { AllButUserInput, All };

    virtual ~ProgressReport() = default;
    // Called every few thousand steps; false once the user asked to stop, and the task then
    // stops where it is, keeping what it has drawn.
    virtual bool update(std::int64_t done, std::int64_t total) = 0;

    virtual Caller caller() const { return Caller::InterfaceThread; }
    // Called on the interface thread, once as a worker starts the task and every few tens of
    // milliseconds while it runs.
    virtual Events refresh() { return Events::AllButUserInput; }
};
