#pragma once

#include "windows/plot/figure_dialogs.h"

#include <functional>
#include <utility>
#include <vector>

// Answers the save and print dialogs at once: with the choice given, or as a cancel when
// there is none (the save dialog opened again after a failure takes the second answer); a
// print goes to a PDF file when one is named, through the program's own printing module.
class RecordingFigureDialogs : public FigureDialogs {
public:
    std::optional<SaveChoice> chooseSaveFile(QWidget*, const SaveChoice& proposed,
                                             SaveAsk ask) override {
        proposals.push_back(proposed);
        if (ask == SaveAsk::Again)
            return std::exchange(againAnswer, std::nullopt);
        ++saveAsked;
        return saveAnswer;
    }
    std::optional<QString> print(QWidget*, const PagePainting& paint, PrintSetUp& setUp) override {
        ++printAsked;
        printSetUp = setUp;
        if (onPrint)
            onPrint(paint, setUp);
        if (printTo.isEmpty())
            return std::nullopt;
        const auto module = figureModule();
        if (const QString* failure = std::get_if<QString>(&module))
            return *failure;
        if (!std::get<const FigureModuleEntries*>(module)->printToPdfFile(
                printTo, QStringLiteral("CURVE ZOR-PUN"), paint, setUp))
            return QStringLiteral("the printer did not start");
        return std::nullopt;
    }

    std::optional<QString> chooseSessionFile(QWidget*, SessionFile purpose) override {
        ++(purpose == SessionFile::Save ? sessionSaveAsked : sessionOpenAsked);
        return purpose == SessionFile::Save ? sessionSaveAnswer : sessionOpenAnswer;
    }

    std::optional<SaveChoice> saveAnswer;
    std::optional<SaveChoice> againAnswer; // used once
    std::vector<SaveChoice> proposals;     // what each dialog opened with
    std::optional<PrintSetUp> printSetUp;
    // Called with each print's painting and set-up, while the print dialog would be shown.
    std::function<void(const PagePainting&, PrintSetUp&)> onPrint;
    std::optional<QString> sessionSaveAnswer;
    std::optional<QString> sessionOpenAnswer;
    int sessionSaveAsked = 0;
    int sessionOpenAsked = 0;
    QString printTo;
    int saveAsked = 0;
    int printAsked = 0;
};
