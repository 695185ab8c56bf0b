#pragma once

#include "windows/plot/figure_dialogs.h"

// Answers the save and print dialogs at once: with the choice given, or as a cancel when
// there is none; a print goes to a PDF file when one is named, through the program's own
// printing module.
class RecordingFigureDialogs : public FigureDialogs {
public:
    std::optional<SaveChoice> chooseSaveFile(QWidget*) override {
        ++saveAsked;
        return saveAnswer;
    }
    std::optional<QString> print(QWidget*, const PagePainting& paint) override {
        ++printAsked;
        if (printTo.isEmpty())
            return std::nullopt;
        const auto module = figureModule();
        if (const QString* failure = std::get_if<QString>(&module))
            return *failure;
        if (!std::get<const FigureModuleEntries*>(module)->printToPdfFile(
                printTo, QStringLiteral("CURVE ZOR-PUN"), paint))
            return QStringLiteral("the printer did not start");
        return std::nullopt;
    }

    std::optional<QString> chooseSessionFile(QWidget*, SessionFile purpose) override {
        ++(purpose == SessionFile::Save ? sessionSaveAsked : sessionOpenAsked);
        return purpose == SessionFile::Save ? sessionSaveAnswer : sessionOpenAnswer;
    }

    std::optional<SaveChoice> saveAnswer;
    std::optional<QString> sessionSaveAnswer;
    std::optional<QString> sessionOpenAnswer;
    int sessionSaveAsked = 0;
    int sessionOpenAsked = 0;
    QString printTo;
    int saveAsked = 0;
    int printAsked = 0;
};
