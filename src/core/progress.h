#pragma once

#include <cstdint>

// The progress of a long task and the user's wish to stop it. Shows nothing by itself: the
// desktop shows it in a dialog, tests count it.
class ProgressReport {
public:
    virtual ~ProgressReport() = default;
    // Called every few thousand steps; false once the user asked to stop, and the task then
    // stops where it is, keeping what it has drawn.
    virtual bool update(std::int64_t done, std::int64_t total) = 0;
};
