#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

// The yardstick of the start-up figures: one window the size of the intro window's client
// area (11670 by 7305 twips) with one button, shown and left to the event loop.
int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget window;
    const double dpi = window.screen()->logicalDotsPerInch();
    window.resize(static_cast<int>(11670 * dpi / 1440), static_cast<int>(7305 * dpi / 1440));
    auto* button = new QPushButton(QStringLiteral("AVANTI"), &window);
    button->setGeometry(240, 376, 193, 57);
    window.show();
    return QApplication::exec();
}
