#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <span>

class QFileDialog;
class QWidget;

// Where an animation is written: the file's extension says how, the filter at what scale.
struct AnimationFileChoice {
    QString path;
    int scale = 1;
    QString suffix = QStringLiteral("gif"); // of the chosen filter, for a name without one
};

// A filter of the animation's save dialog.
struct AnimationFilter {
    const char* text = "";
    const char* suffix = "gif";
    int scale = 1;
};

// In the dialog's order; the first is the default.
std::span<const AnimationFilter> animationFilters();

// The dialog through which the explorer's animation leaves the program. Tests put a
// recorder in its place, so they never block on a dialog.
class AnimationDialogs {
public:
    virtual ~AnimationDialogs() = default;
    // Nothing when the user cancelled.
    virtual std::optional<AnimationFileChoice> chooseAnimationFile(QWidget* owner) = 0;
};

// The dialog "Esporta animazione…" opens, set up and not yet shown.
std::unique_ptr<QFileDialog> exportAnimationDialog(QWidget* owner);

class DesktopAnimationDialogs : public AnimationDialogs {
public:
    std::optional<AnimationFileChoice> chooseAnimationFile(QWidget* owner) override;
};
