#pragma once

#include "app/platform.h"

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

    QStringList messages;
    int endings = 0;
    // Runs while the "dialog" is open, for tests that look at the state at that moment.
    std::function<void(const QString&)> onMessage;
};
