#pragma once

#include "windows/plot/figure_dialogs.h"

#include <QPrinter>

// Answers the save and print dialogs at once: with the choice given, or as a cancel when
// there is none; a print goes to a PDF file when one is named.
class RecordingFigureDialogs : public FigureDialogs {
public:
    std::optional<SaveChoice> chooseSaveFile(QWidget*) override {
        ++saveAsked;
        return saveAnswer;
    }
    void print(QWidget*, const std::function<void(QPrinter&)>& paint) override {
        ++printAsked;
        if (printTo.isEmpty())
            return;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printTo);
        paint(printer);
    }

    std::optional<SaveChoice> saveAnswer;
    QString printTo;
    int saveAsked = 0;
    int printAsked = 0;
};
