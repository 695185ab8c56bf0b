#pragma once

#include "shell/platform.h"

#include <QStringList>
#include <functional>

// Stands in for the desktop: message boxes are recorded and answered at once, and ending
// the program is counted instead of done.
class RecordingPlatform : public Platform {
public:
    void messageBox(QWidget*, const QString& prompt) override {
        messages << prompt;
        if (onMessage)
            onMessage(prompt);
    }
    void endProgram() override { ++endings; }
    std::unique_ptr<ProgressReport> beginProgress(QWidget*) override {
        return std::make_unique<Progress>(*this);
    }

    QStringList messages;
    int endings = 0;
    // Runs while the "dialog" is open, for tests that look at the state at that moment.
    std::function<void(const QString&)> onMessage;
    // Progress reports received, and after how many of them the user presses "Annulla".
    int progressUpdates = 0;
    int cancelAfterUpdates = -1;
    // Runs at each progress report, for tests that act while a long task goes on.
    std::function<void()> onProgress;
    // Reports that any thread may call, so a long run goes to a worker thread; onProgress
    // then runs on the interface thread each time the progress is refreshed.
    bool progressFromAnyThread = false;
    // The latest report, and whether one ever said less was done than the one before.
    std::int64_t lastDone = 0;
    std::int64_t lastTotal = 0;
    bool progressWentBack = false;

private:
    struct Progress : ProgressReport {
        explicit Progress(RecordingPlatform& owner) : platform(owner) {}
        bool update(std::int64_t done, std::int64_t total) override {
            ++platform.progressUpdates;
            platform.progressWentBack = platform.progressWentBack || done < platform.lastDone;
            platform.lastDone = done;
            platform.lastTotal = total;
            if (!platform.progressFromAnyThread && platform.onProgress)
                platform.onProgress();
            return platform.progressUpdates != platform.cancelAfterUpdates;
        }
        Caller caller() const override {
            return platform.progressFromAnyThread ? Caller::AnyThread : Caller::InterfaceThread;
        }
        Events refresh() override {
            if (platform.onProgress)
                platform.onProgress();
            return Events::AllButUserInput;
        }
        RecordingPlatform& platform;
    };
};
