#pragma once

#include "figure/save_memory.h"

#include <QString>
#include <memory>
#include <optional>

class QFileDialog;
class QWidget;

// The save dialog of a figure, set up as proposed and not yet shown: the formats' filters, the
// proposed one chosen, and its suffix for a name typed without one.
std::unique_ptr<QFileDialog> figureSaveDialog(QWidget* owner, const QString& title,
                                              const SaveChoice& proposed);
// That dialog shown, with the figure's options under its list; nothing when it was cancelled.
std::optional<SaveChoice> askFigureFile(QWidget* owner, const QString& title,
                                        const SaveChoice& proposed);
