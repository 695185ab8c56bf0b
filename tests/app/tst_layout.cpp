#include "shell/caption_button.h"
#include "shell/layout.h"
#include "app/program.h"
#include "ink_columns.h"
#include "recording_platform.h"
#include "test_windows.h"
#include "windows/calibration/form2.h"
#include "windows/constants/form3.h"
#include "windows/intro/form1.h"
#include "windows/plot/form4.h"

#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QtTest>
#include <memory>

namespace {

enum class Kind { Button, Label, TextBox, ScrollBar, Container };

QString blanks(int count) {
    return QString(count, QLatin1Char(' '));
}

// The windows use the screen's logical DPI: 96 here unless the run sets another.
int px(int twips) {
    return twipsToPixels(twips, QGuiApplication::primaryScreen()->logicalDotsPerInchX());
}

QRect pxRect(int left, int top, int width, int height) {
    return QRect(px(left), px(top), px(width), px(height));
}

bool isInk(QRgb pixel, QRgb background) {
    return std::abs(qGray(pixel) - qGray(background)) > 60 ||
           std::abs(qRed(pixel) - qRed(background)) > 60;
}

// Rows of the image that hold ink, gathered into runs of consecutive rows.
QList<QPair<int, int>> inkBands(const QImage& image, const QImage& background) {
    QList<QPair<int, int>> bands;
    for (int y = 0; y < image.height(); ++y) {
        bool ink = false;
        for (int x = 0; x < image.width() && !ink; ++x)
            ink = isInk(image.pixel(x, y), background.pixel(x, y));
        if (!ink)
            continue;
        if (!bands.isEmpty() && bands.last().second == y - 1)
            bands.last().second = y;
        else
            bands.append({y, y});
    }
    return bands;
}

QImage plain(const QImage& like, QColor colour) {
    QImage image(like.size(), like.format());
    image.fill(colour);
    return image;
}

// The first column and the last one that hold ink, or (-1, -1).
QPair<int, int> inkColumns(const QImage& image, const QImage& background) {
    return inkColumns(image, 0, image.height(), [&](int x, int y) {
        return isInk(image.pixel(x, y), background.pixel(x, y));
    });
}

} // namespace

Q_DECLARE_METATYPE(Kind)

class TestLayout : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void convertsTwips_data();
    void convertsTwips();
    void readsStoredColours_data();
    void readsStoredColours();
    void runsAtTheConfiguredDpi();

    void windowProperties_data();
    void windowProperties();
    void controls_data();
    void controls();
    void creationOrder_data();
    void creationOrder();
    void controlsDoNotOverlap_data();
    void controlsDoNotOverlap();
    void fonts_data();
    void fonts();
    void foregroundColours_data();
    void foregroundColours();
    void storedButtonColoursAreNotShown();
    void scrollBarRange();

    void tabOrder_data();
    void tabOrder();
    void labelLines_data();
    void labelLines();
    void buttonCaptionsStayInside_data();
    void buttonCaptionsStayInside();
    void shortCaptionsLookStandard_data();
    void shortCaptionsLookStandard();
    void spacePressesButton_data();
    void spacePressesButton();

private:
    ProgramWindow& window(const QString& name);
    QWidget* controlOf(const QString& windowName, const QString& controlName);
    const WindowLayout& layoutOf(const QString& name);
    void showAndWait(const QString& name);

    RecordingPlatform platform;
    std::unique_ptr<Program> program;
};

void TestLayout::init() {
    QLocale::setDefault(QLocale::c());
    program = std::make_unique<Program>(platform);
}

void TestLayout::cleanup() {
    program.reset();
    platform = RecordingPlatform();
}

ProgramWindow& TestLayout::window(const QString& name) {
    return windowNamed(*program, name);
}

QWidget* TestLayout::controlOf(const QString& windowName, const QString& controlName) {
    return window(windowName).control<QWidget>(controlName);
}

const WindowLayout& TestLayout::layoutOf(const QString& name) {
    if (name == QLatin1String("Form1"))
        return form1Layout();
    if (name == QLatin1String("Form2"))
        return form2Layout();
    if (name == QLatin1String("Form3"))
        return form3Layout();
    return form4Layout();
}

void TestLayout::showAndWait(const QString& name) {
    ProgramWindow& shown = window(name);
    program->Show(shown);
    QVERIFY(QTest::qWaitForWindowActive(&shown));
}

void TestLayout::convertsTwips_data() {
    QTest::addColumn<int>("twips");
    QTest::addColumn<double>("dpi");
    QTest::addColumn<int>("pixels");

    QTest::newRow("zero") << 0 << 96.0 << 0;
    QTest::newRow("one pixel at 96") << 15 << 96.0 << 1;
    QTest::newRow("an inch at 96") << 1440 << 96.0 << 96;
    QTest::newRow("just under half a pixel") << 7 << 96.0 << 0;
    QTest::newRow("just over half a pixel") << 8 << 96.0 << 1;
    QTest::newRow("container width at 96") << 8415 << 96.0 << 561;
    QTest::newRow("container height at 96") << 5055 << 96.0 << 337;
    QTest::newRow("Form1 width at 96") << 11670 << 96.0 << 778;
    QTest::newRow("container width at 144 rounds up") << 8415 << 144.0 << 842;
    QTest::newRow("button width at 144 rounds up") << 1695 << 144.0 << 170;
    QTest::newRow("an inch at 144") << 1440 << 144.0 << 144;
    QTest::newRow("Form3 height at 120") << 7245 << 120.0 << 604;
}

void TestLayout::convertsTwips() {
    QFETCH(int, twips);
    QFETCH(double, dpi);
    QFETCH(int, pixels);
    QCOMPARE(twipsToPixels(twips, dpi), pixels);
}

void TestLayout::readsStoredColours_data() {
    QTest::addColumn<quint32>("stored");
    QTest::addColumn<bool>("fixed");
    QTest::addColumn<QColor>("colour");

    QTest::newRow("red in the low byte") << 0x000000FFu << true << QColor(255, 0, 0);
    QTest::newRow("light orange") << 0x0080C0FFu << true << QColor(255, 192, 128);
    QTest::newRow("blue in the high byte") << 0x00FF0000u << true << QColor(0, 0, 255);
    QTest::newRow("black") << 0x00000000u << true << QColor(0, 0, 0);
    QTest::newRow("system colour 14") << 0x8000000Eu << false << QColor();
    QTest::newRow("system colour 0") << 0x80000000u << false << QColor();
}

void TestLayout::readsStoredColours() {
    QFETCH(quint32, stored);
    QFETCH(bool, fixed);
    QFETCH(QColor, colour);
    const std::optional<QColor> read = colorFromStored(stored);
    QCOMPARE(read.has_value(), fixed);
    if (fixed)
        QCOMPARE(*read, colour);
}

// The extra runs must really change the DPI, or they test the 96 DPI case twice.
void TestLayout::runsAtTheConfiguredDpi() {
    const int configured = qEnvironmentVariableIntValue("QT_FONT_DPI");
    const double screenDpi = QGuiApplication::primaryScreen()->logicalDotsPerInchX();
    if (configured > 0)
        QCOMPARE(qRound(screenDpi), configured);
    QCOMPARE(window("Form1").logicalDpiX(), qRound(screenDpi));
    const double scale = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble();
    QCOMPARE(window("Form1").devicePixelRatioF(), scale);
}

void TestLayout::windowProperties_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");

    QTest::newRow("Form1") << "Form1"
                           << "Form1" << 11670 << 7305;
    QTest::newRow("Form2") << "Form2"
                           << "Form2" << 9855 << 6840;
    QTest::newRow("Form3 has a single blank") << "Form3"
                                              << " " << 10605 << 7245;
    QTest::newRow("Form4") << "Form4"
                           << "Form4" << 10605 << 6780;
}

void TestLayout::windowProperties() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(int, width);
    QFETCH(int, height);
    ProgramWindow& built = window(name);
    QCOMPARE(built.windowTitle(), caption);
    QCOMPARE(built.objectName(), name);
    QCOMPARE(built.size(), QSize(px(width), px(height)));
    showAndWait(name);
    QCOMPARE(built.windowTitle(), caption);
    QCOMPARE(built.size(), QSize(px(width), px(height)));
}

void TestLayout::controls_data() {
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("name");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<int>("tabIndex");

    const auto row = [](const char* form, const char* name, Kind kind, const QString& caption,
                        QRect twips, int tabIndex) {
        QTest::addRow("%s %s", form, name) << form << name << kind << caption << twips << tabIndex;
    };
    row("Form1", "Command1", Kind::Button, "AVANTI", {3600, 5640, 2895, 855}, 1);
    row("Form1", "OLE1", Kind::Container, "", {1290, 330, 8415, 5055}, 0);

    row("Form2", "Command3", Kind::Button, "ESCI", {360, 4080, 1695, 615}, 4);
    row("Form2", "Command2", Kind::Button,
        "KLICCARE  sulla barra di scorrimento fino a che la figura  risulti una CIRCONFERENZA",
        {360, 1560, 6255, 735}, 3);
    row("Form2", "Command1", Kind::Button, "OK - continua", {3120, 2880, 1575, 615}, 2);
    row("Form2", "Text1", Kind::TextBox, "Text1", {360, 2880, 735, 375}, 1);
    row("Form2", "HScroll1", Kind::ScrollBar, "", {480, 1080, 5895, 255}, 0);
    row("Form2", "Label1", Kind::Label,
        "Per calibrare l' impostazione corretta della risoluzione dello SCHERMO",
        {360, 240, 9135, 495}, 5);

    row("Form3", "Text5", Kind::TextBox, "1", {5400, 3720, 615, 495}, 10);
    row("Form3", "Text1", Kind::TextBox, "86", {3720, 2040, 735, 495}, 0);
    row("Form3", "Text2", Kind::TextBox, "55", {3720, 2880, 735, 495}, 1);
    row("Form3", "Text3", Kind::TextBox, "90", {8160, 1920, 735, 495}, 2);
    row("Form3", "Command1", Kind::Button, "ESCI", {1080, 5640, 1935, 735}, 4);
    row("Form3", "Command2", Kind::Button, "AVANTI", {5280, 5640, 1935, 735}, 3);
    row("Form3", "Label6", Kind::Label, "Incremento di  t  per  ALFA", {1800, 3840, 3015, 255}, 9);
    row("Form3", "Label1", Kind::Label, "IMPOSTARE I VALORI DELLE COSTANTI", {1800, 360, 6135, 375},
        8);
    row("Form3", "Label2", Kind::Label, "Valore  di OA", {720, 2040, 2175, 375}, 7);
    row("Form3", "Label3", Kind::Label, "Angolo di OA con l'asse X", {600, 2880, 2775, 375}, 6);
    row("Form3", "Label4", Kind::Label,
        "Valore massimo di ALFA = n," + blanks(20) + "per avere" + blanks(34) + "OA/ n = Epsilon ",
        {5280, 1920, 2775, 735}, 5);

    row("Form4", "Command4", Kind::Button, "Traccia le linee tra le curve di I\u00B0 livello",
        {3000, 1800, 1695, 615}, 3);
    row("Form4", "Command1", Kind::Button, "RIPRENDI i dati", {960, 720, 1695, 615}, 2);
    row("Form4", "Command2", Kind::Button, "Cancella e riprendi" + blanks(6) + "i dati",
        {3000, 720, 1695, 615}, 1);
    row("Form4", "Command3", Kind::Button, "ESCI", {960, 1800, 1695, 615}, 0);
}

QString shownText(QWidget* control) {
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        return button->text();
    if (auto* label = qobject_cast<QLabel*>(control))
        return label->text();
    if (auto* box = qobject_cast<QLineEdit*>(control))
        return box->text();
    return QString();
}

bool hasKind(QWidget* control, Kind kind) {
    switch (kind) {
    case Kind::Button:
        return qobject_cast<CaptionButton*>(control) != nullptr;
    case Kind::Label:
        return qobject_cast<QLabel*>(control) != nullptr;
    case Kind::TextBox:
        return qobject_cast<QLineEdit*>(control) != nullptr;
    case Kind::ScrollBar:
        return qobject_cast<QScrollBar*>(control) != nullptr;
    case Kind::Container:
        return control->metaObject() == &QWidget::staticMetaObject;
    }
    return false;
}

void TestLayout::controls() {
    QFETCH(QString, form);
    QFETCH(QString, name);
    QFETCH(Kind, kind);
    QFETCH(QString, caption);
    QFETCH(QRect, twips);
    QFETCH(int, tabIndex);

    const WindowLayout& table = layoutOf(form);
    const auto row =
        std::find_if(table.controls.begin(), table.controls.end(),
                     [&](const ControlLayout& candidate) { return candidate.name == name; });
    QVERIFY(row != table.controls.end());
    QCOMPARE(row->caption, caption);
    QCOMPARE(QRect(row->left, row->top, row->width, row->height), twips);
    QCOMPARE(row->tabIndex, tabIndex);

    QWidget* control = controlOf(form, name);
    QVERIFY(control);
    QVERIFY(hasKind(control, kind));
    QCOMPARE(control->objectName(), name);
    QCOMPARE(control->parentWidget(), &window(form));
    QCOMPARE(shownText(control), caption);
    QCOMPARE(control->geometry(), pxRect(twips.left(), twips.top(), twips.width(), twips.height()));
}

void TestLayout::creationOrder_data() {
    QTest::addColumn<QString>("form");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("Form1") << "Form1" << QStringList{"Command1", "OLE1"};
    QTest::newRow("Form2") << "Form2" << QStringList{"Command3", "Command2", "Command1",
                                                     "Text1",    "HScroll1", "Label1"};
    QTest::newRow("Form3") << "Form3" << QStringList{"Text5",    "Text1",    "Text2",  "Text3",
                                                     "Command1", "Command2", "Label6", "Label1",
                                                     "Label2",   "Label3",   "Label4"};
    QTest::newRow("Form4") << "Form4"
                           << QStringList{"Command4", "Command1", "Command2", "Command3"};
}

void TestLayout::creationOrder() {
    QFETCH(QString, form);
    QFETCH(QStringList, names);
    QStringList tableNames;
    for (const ControlLayout& row : layoutOf(form).controls)
        tableNames << row.name;
    QCOMPARE(tableNames, names);
    // Created in that order: the children list keeps it.
    QStringList childNames;
    for (QObject* child : window(form).children()) {
        if (names.contains(child->objectName()))
            childNames << child->objectName();
    }
    QCOMPARE(childNames, names);
}

void TestLayout::controlsDoNotOverlap_data() {
    QTest::addColumn<QString>("form");
    for (const char* form : {"Form1", "Form2", "Form3", "Form4"})
        QTest::newRow(form) << form;
}

void TestLayout::controlsDoNotOverlap() {
    QFETCH(QString, form);
    const std::vector<ControlLayout>& rows = layoutOf(form).controls;
    for (std::size_t first = 0; first < rows.size(); ++first) {
        for (std::size_t second = first + 1; second < rows.size(); ++second) {
            const QRect a = controlOf(form, rows[first].name)->geometry();
            const QRect b = controlOf(form, rows[second].name)->geometry();
            QVERIFY2(!a.intersects(b),
                     qPrintable(rows[first].name + " overlaps " + rows[second].name));
        }
    }
}

void TestLayout::fonts_data() {
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("pointSize"); // 0: the window's font
    QTest::addColumn<bool>("bold");

    QTest::newRow("Form2 Label1") << "Form2"
                                  << "Label1" << 13.5 << false;
    QTest::newRow("Form3 Label1") << "Form3"
                                  << "Label1" << 13.5 << true;
    QTest::newRow("Form3 Label2") << "Form3"
                                  << "Label2" << 12.0 << false;
    QTest::newRow("Form3 Label3") << "Form3"
                                  << "Label3" << 12.0 << false;
    QTest::newRow("Form3 Label4") << "Form3"
                                  << "Label4" << 9.75 << false;
    QTest::newRow("Form3 Label6") << "Form3"
                                  << "Label6" << 0.0 << false;
    QTest::newRow("Form3 Text1") << "Form3"
                                 << "Text1" << 0.0 << false;
    QTest::newRow("Form4 Command4") << "Form4"
                                    << "Command4" << 0.0 << false;
}

void TestLayout::fonts() {
    QFETCH(QString, form);
    QFETCH(QString, name);
    QFETCH(double, pointSize);
    QFETCH(bool, bold);
    const QFont font = controlOf(form, name)->font();
    if (pointSize == 0.0) {
        QCOMPARE(font, window(form).font());
        return;
    }
    QCOMPARE(font.families().value(0), QStringLiteral("MS Sans Serif"));
    QCOMPARE(font.pointSizeF(), pointSize);
    QCOMPARE(font.bold(), bold);
    // Where the design's face is missing, a proportional sans-serif stands in.
    const QFontInfo resolved(font);
    QVERIFY2(!resolved.fixedPitch(), qPrintable(resolved.family()));
    QCOMPARE(resolved.bold(), bold);
    const QStringList sansSerifs{"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans",
                                 "DejaVu Sans"};
    QVERIFY2(sansSerifs.contains(resolved.family()), qPrintable(resolved.family()));
}

void TestLayout::foregroundColours_data() {
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("red");

    QTest::newRow("Form2 Label1") << "Form2"
                                  << "Label1" << true;
    QTest::newRow("Form3 Label1") << "Form3"
                                  << "Label1" << true;
    QTest::newRow("Form3 Label2") << "Form3"
                                  << "Label2" << false;
    QTest::newRow("Form3 Label4") << "Form3"
                                  << "Label4" << false;
    QTest::newRow("Form3 Label6") << "Form3"
                                  << "Label6" << false;
}

void TestLayout::foregroundColours() {
    QFETCH(QString, form);
    QFETCH(QString, name);
    QFETCH(bool, red);
    QWidget* label = controlOf(form, name);
    const QColor standard = QApplication::palette(label).color(QPalette::WindowText);
    const QColor expected = red ? QColor(255, 0, 0) : standard;
    QCOMPARE(label->palette().color(QPalette::WindowText), expected);
    // What is drawn is that colour on an opaque background.
    QVERIFY(label->autoFillBackground());
    const QImage image = label->grab().toImage();
    bool found = false;
    for (int y = 0; y < image.height() && !found; ++y) {
        for (int x = 0; x < image.width() && !found; ++x)
            found = image.pixelColor(x, y) == expected;
    }
    QVERIFY(found);
}

// Both coloured buttons of Form2 keep the standard button face.
void TestLayout::storedButtonColoursAreNotShown() {
    QWidget* plainButton = controlOf("Form2", "Command3");
    for (const char* name : {"Command1", "Command2"}) {
        QWidget* button = controlOf("Form2", name);
        QCOMPARE(button->palette().color(QPalette::Button),
                 plainButton->palette().color(QPalette::Button));
        QCOMPARE(button->palette().color(QPalette::Button),
                 QApplication::palette(button).color(QPalette::Button));
    }
}

void TestLayout::scrollBarRange() {
    auto* bar = window("Form2").control<QScrollBar>("HScroll1");
    QCOMPARE(bar->orientation(), Qt::Horizontal);
    QCOMPARE(bar->minimum(), 1);
    QCOMPARE(bar->maximum(), 30);
    QCOMPARE(bar->value(), 1);
    QVERIFY(bar->focusPolicy() & Qt::TabFocus);
}

void TestLayout::tabOrder_data() {
    QTest::addColumn<QString>("form");
    QTest::addColumn<QStringList>("order"); // focus at opening, then after each Tab

    QTest::newRow("Form1") << "Form1" << QStringList{"OLE1", "Command1", "OLE1"};
    QTest::newRow("Form2") << "Form2" << QStringList{"HScroll1", "Text1",    "Command1",
                                                     "Command2", "Command3", "HScroll1"};
    QTest::newRow("Form3") << "Form3" << QStringList{"Text1",    "Text2", "Text3", "Command2",
                                                     "Command1", "Text5", "Text1"};
    // The drawing holds the focus at opening, so Tab reaches "ESCI" first.
    QTest::newRow("Form4") << "Form4"
                           << QStringList{"surface",  "Command3", "Command2",
                                          "Command1", "Command4", "surface"};
}

void TestLayout::tabOrder() {
    QFETCH(QString, form);
    QFETCH(QStringList, order);
    showAndWait(form);
    QVERIFY(QApplication::focusWidget());
    QCOMPARE(QApplication::focusWidget()->objectName(), order.first());
    for (qsizetype step = 1; step < order.size(); ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget());
        QCOMPARE(QApplication::focusWidget()->objectName(), order[step]);
    }
    QCOMPARE(QApplication::focusWidget()->window(), &window(form));
}

void TestLayout::labelLines_data() {
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("lines");

    QTest::newRow("Form2 Label1") << "Form2"
                                  << "Label1" << 1;
    QTest::newRow("Form3 Label1") << "Form3"
                                  << "Label1" << 1;
    QTest::newRow("Form3 Label2") << "Form3"
                                  << "Label2" << 1;
    QTest::newRow("Form3 Label3") << "Form3"
                                  << "Label3" << 1;
    QTest::newRow("Form3 Label4 breaks at its blank runs") << "Form3"
                                                           << "Label4" << 3;
    QTest::newRow("Form3 Label6") << "Form3"
                                  << "Label6" << 1;
}

void TestLayout::labelLines() {
    QFETCH(QString, form);
    QFETCH(QString, name);
    QFETCH(int, lines);
    QWidget* label = controlOf(form, name);
    const QImage image = label->grab().toImage();
    const QImage background = plain(image, label->palette().color(QPalette::Window));
    const QList<QPair<int, int>> bands = inkBands(image, background);
    QCOMPARE(bands.size(), lines);
    // Whole lines: nothing cut at the bottom or the right.
    QVERIFY(bands.last().second < image.height() - 1);
    QVERIFY(inkColumns(image, background).second < image.width() - 1);
}

void TestLayout::buttonCaptionsStayInside_data() {
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("fewestLines");
    QTest::addColumn<int>("mostLines");

    QTest::newRow("Form2 Command2") << "Form2"
                                    << "Command2" << 2 << 3;
    QTest::newRow("Form4 Command2") << "Form4"
                                    << "Command2" << 2 << 2;
    QTest::newRow("Form4 Command4") << "Form4"
                                    << "Command4" << 2 << 3;
    QTest::newRow("Form4 Command1") << "Form4"
                                    << "Command1" << 1 << 1;
    QTest::newRow("Form3 Command2") << "Form3"
                                    << "Command2" << 1 << 1;
}

void TestLayout::buttonCaptionsStayInside() {
    QFETCH(QString, form);
    QFETCH(QString, name);
    QFETCH(int, fewestLines);
    QFETCH(int, mostLines);
    QWidget* button = controlOf(form, name);
    // The same button without a caption: what differs is the caption's ink.
    CaptionButton blank(QString(), &window(form));
    blank.setGeometry(button->geometry());
    const QImage image = button->grab().toImage();
    const QImage bare = blank.grab().toImage();
    const QList<QPair<int, int>> bands = inkBands(image, bare);
    QVERIFY2(bands.size() >= fewestLines && bands.size() <= mostLines,
             qPrintable(QString::number(bands.size())));
    // Clear of the button's edge all round.
    const int edge = qCeil(2 * image.devicePixelRatio());
    QVERIFY(bands.first().first >= edge);
    QVERIFY(bands.last().second < image.height() - edge);
    const QPair<int, int> columns = inkColumns(image, bare);
    QVERIFY(columns.first >= edge);
    QVERIFY(columns.second < image.width() - edge);
}

void TestLayout::shortCaptionsLookStandard_data() {
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("name");

    QTest::newRow("Form1 Command1") << "Form1"
                                    << "Command1";
    QTest::newRow("Form2 Command1") << "Form2"
                                    << "Command1";
    QTest::newRow("Form3 Command1") << "Form3"
                                    << "Command1";
    QTest::newRow("Form4 Command1") << "Form4"
                                    << "Command1";
}

// A caption that fits on one line is drawn as a standard button draws it.
void TestLayout::shortCaptionsLookStandard() {
    QFETCH(QString, form);
    QFETCH(QString, name);
    auto* button = window(form).control<QPushButton>(name);
    QPushButton standard(button->text(), &window(form));
    standard.setGeometry(button->geometry());
    QCOMPARE(button->focusPolicy(), standard.focusPolicy());
    QCOMPARE(button->grab().toImage(), standard.grab().toImage());
}

void TestLayout::spacePressesButton_data() {
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("endings");

    QTest::newRow("Form2 Command2 has no handler") << "Form2"
                                                   << "Command2" << 0;
    QTest::newRow("Form4 ESCI") << "Form4"
                                << "Command3" << 1;
    QTest::newRow("Form3 ESCI") << "Form3"
                                << "Command1" << 1;
}

void TestLayout::spacePressesButton() {
    QFETCH(QString, form);
    QFETCH(QString, name);
    QFETCH(int, endings);
    showAndWait(form);
    auto* button = window(form).control<QPushButton>(name);
    button->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(button->hasFocus());
    QSignalSpy clicks(button, &QPushButton::clicked);
    QTest::keyClick(button, Qt::Key_Space);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(platform.endings, endings);
}

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
