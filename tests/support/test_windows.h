#pragma once

#include "app/program.h"
#include "windows/calibration/form2.h"
#include "windows/constants/form3.h"
#include "windows/intro/form1.h"
#include "windows/plot/form4.h"

#include <QImage>
#include <QString>

// The program's window of that name ("Form1" ... "Form4"), made if need be.
inline ProgramWindow& windowNamed(Program& program, const QString& name) {
    if (name == QLatin1String("Form1"))
        return program.form1();
    if (name == QLatin1String("Form2"))
        return program.form2();
    if (name == QLatin1String("Form3"))
        return program.form3();
    return program.form4();
}

// How many pixels of the image have exactly that colour.
inline int pixelsOf(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == colour ? 1 : 0;
    return count;
}
