#pragma once

#include "shell/layout.h"

#include <QWidget>
#include <functional>

class ProgramShell;

// A top-level window of the program: its controls come from its layout table, its
// activation handler runs when the program makes it the active window.
class ProgramWindow : public QWidget {
    Q_OBJECT
public:
    ProgramWindow(ProgramShell& program, const WindowLayout& layout);

    ProgramShell& program() const { return program_; }
    // Runs the activation handler (only the program calls this).
    void activate();
    // The control of that name in the layout table.
    template <typename Control> Control* control(const QString& name) const {
        return qobject_cast<Control*>(controls_.value(name));
    }

protected:
    virtual void Form_Activate() {}
    bool event(QEvent* event) override;
    // Connects a button's click to a handler that runs only while the program goes on.
    void onClick(const QString& buttonName, std::function<void()> handler);
    // Runs the handler of a click or a change the user made: not while a long drawing is in
    // progress, after any activation the press made, and never once the program has ended.
    void handleUserEvent(const std::function<void()>& handler);

private:
    ProgramShell& program_;
    QHash<QString, QWidget*> controls_;
};
