#include "shell/platform.h"
#include "app/program.h"
#include "recording_platform.h"
#include "surface/plot_surface.h"
#include "test_windows.h"
#include "windows/calibration/form2.h"
#include "windows/constants/form3.h"
#include "windows/intro/form1.h"
#include "windows/intro/intro_document.h"
#include "windows/plot/form4.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <memory>

// What a screen reader and a keyboard user get from the real windows: every control named,
// the text boxes tied to their labels, the drawings described, buttons pressed by Enter and
// Space, the intro read as text, and the message box and the progress dialog read as they
// are shown. Longer than most files: all of it is read through the same accessibility tree,
// so it shares the lookups at the top.
class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void controlsAreNamed_data();
    void controlsAreNamed();
    void everyControlHasAName_data();
    void everyControlHasAName();
    void textBoxesAreLabelled_data();
    void textBoxesAreLabelled();
    void drawingsAreDescribed_data();
    void drawingsAreDescribed();
    void keysPressTheFocusedButton_data();
    void keysPressTheFocusedButton();
    void enterInATextBoxPressesNoButton_data();
    void enterInATextBoxPressesNoButton();
    void messageBoxIsReadAsPlainText_data();
    void messageBoxIsReadAsPlainText();
    void introIsReadAsText();
    void introCharactersAreWhereTheyAreDrawn();
    void windowsAreWindows_data();
    void windowsAreWindows();
    void applicationSaysWhatItIs();
    void progressDialogIsRead_data();
    void progressDialogIsRead();

private:
    ProgramWindow& window(const QString& name);
    void showAndWait(ProgramWindow& shown);

    RecordingPlatform platform;
    std::unique_ptr<Program> program;
};

namespace {

QAccessibleInterface* accessibleOf(QObject* object) {
    QAccessibleInterface* interface = QAccessible::queryAccessibleInterface(object);
    Q_ASSERT(interface);
    return interface;
}

QString accessibleName(QObject* object) {
    return accessibleOf(object)->text(QAccessible::Name);
}

// The first accessible element below root, depth first, with that role and name.
QAccessibleInterface* findElement(QAccessibleInterface* root, QAccessible::Role role,
                                  const QString& name) {
    for (int index = 0; index < root->childCount(); ++index) {
        QAccessibleInterface* child = root->child(index);
        if (!child)
            continue;
        if (child->role() == role && child->text(QAccessible::Name) == name)
            return child;
        if (QAccessibleInterface* found = findElement(child, role, name))
            return found;
    }
    return nullptr;
}

// A title bar shows the title in a bold face beside an icon and three buttons: the dialog
// must be at least twice as wide as the title itself.
bool titleFits(const QWidget& dialog) {
    QFont bold = dialog.font();
    bold.setBold(true);
    return dialog.width() >= 2 * QFontMetrics(bold).horizontalAdvance(dialog.windowTitle());
}

} // namespace

void AccessibilityTest::init() {
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    program = std::make_unique<Program>(platform);
}

void AccessibilityTest::cleanup() {
    program.reset();
    platform = RecordingPlatform();
}

ProgramWindow& AccessibilityTest::window(const QString& name) {
    return windowNamed(*program, name);
}

void AccessibilityTest::showAndWait(ProgramWindow& shown) {
    program->Show(shown);
    QVERIFY(QTest::qWaitForWindowActive(&shown));
}

void AccessibilityTest::controlsAreNamed_data() {
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QAccessible::Role>("role");

    const auto row = [](const char* form, const char* control, const QString& name,
                        QAccessible::Role role) {
        QTest::addRow("%s %s", form, control) << form << control << name << role;
    };
    row("Form1", "Command1", "AVANTI", QAccessible::Button);
    row("Form1", "OLE1", "Documento introduttivo", QAccessible::Document);

    row("Form2", "Command3", "ESCI", QAccessible::Button);
    // Blank runs collapse into one, so the caption is read without pauses.
    row("Form2", "Command2",
        "KLICCARE sulla barra di scorrimento fino a che la figura risulti una CIRCONFERENZA",
        QAccessible::Button);
    row("Form2", "Command1", "OK - continua", QAccessible::Button);
    row("Form2", "Text1", "Incr", QAccessible::EditableText);
    // Named after what it sets; the heading stays its label (textBoxesAreLabelled).
    row("Form2", "HScroll1", "Fattore di calibrazione Incr", QAccessible::ScrollBar);
    row("Form2", "Label1", "Per calibrare l' impostazione corretta della risoluzione dello SCHERMO",
        QAccessible::StaticText);

    row("Form3", "Text1", "Valore di OA", QAccessible::EditableText);
    row("Form3", "Text2", "Angolo di OA con l'asse X", QAccessible::EditableText);
    row("Form3", "Text3", "Valore massimo di ALFA = n, per avere OA/ n = Epsilon",
        QAccessible::EditableText);
    row("Form3", "Text5", "Incremento di t per ALFA", QAccessible::EditableText);
    row("Form3", "Command1", "ESCI", QAccessible::Button);
    row("Form3", "Command2", "AVANTI", QAccessible::Button);
    row("Form3", "Label1", "IMPOSTARE I VALORI DELLE COSTANTI", QAccessible::StaticText);
    row("Form3", "Label4", "Valore massimo di ALFA = n, per avere OA/ n = Epsilon",
        QAccessible::StaticText);

    row("Form4", "Command4", "Traccia le linee tra le curve di I\u00B0 livello",
        QAccessible::Button);
    row("Form4", "Command1", "RIPRENDI i dati", QAccessible::Button);
    row("Form4", "Command2", "Cancella e riprendi i dati", QAccessible::Button);
    row("Form4", "Command3", "ESCI", QAccessible::Button);
}

void AccessibilityTest::controlsAreNamed() {
    QFETCH(QString, form);
    QFETCH(QString, control);
    QFETCH(QString, name);
    QFETCH(QAccessible::Role, role);
    QWidget* widget = window(form).control<QWidget>(control);
    QVERIFY(widget);
    QCOMPARE(accessibleName(widget), name);
    QCOMPARE(accessibleOf(widget)->role(), role);
}

void AccessibilityTest::everyControlHasAName_data() {
    QTest::addColumn<QString>("form");
    for (const char* form : {"Form1", "Form2", "Form3", "Form4"})
        QTest::newRow(form) << form;
}

// Whatever a window holds, a screen reader finds nothing nameless in it.
void AccessibilityTest::everyControlHasAName() {
    QFETCH(QString, form);
    ProgramWindow& shown = window(form);
    const QList<QWidget*> children = shown.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    QVERIFY(!children.isEmpty());
    for (QWidget* child : children) {
        QVERIFY2(!accessibleName(child).trimmed().isEmpty(),
                 qPrintable(child->objectName() + " " + child->metaObject()->className()));
    }
}

void AccessibilityTest::textBoxesAreLabelled_data() {
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("label");

    QTest::newRow("Form3 Text1 by Label2") << "Form3"
                                           << "Text1"
                                           << "Label2";
    QTest::newRow("Form3 Text2 by Label3") << "Form3"
                                           << "Text2"
                                           << "Label3";
    QTest::newRow("Form3 Text3 by Label4") << "Form3"
                                           << "Text3"
                                           << "Label4";
    QTest::newRow("Form3 Text5 by Label6") << "Form3"
                                           << "Text5"
                                           << "Label6";
    QTest::newRow("Form2 scroll bar by Label1") << "Form2"
                                                << "HScroll1"
                                                << "Label1";
}

// A screen reader can also go from the box to the label that names it.
void AccessibilityTest::textBoxesAreLabelled() {
    QFETCH(QString, form);
    QFETCH(QString, control);
    QFETCH(QString, label);
    QWidget* box = window(form).control<QWidget>(control);
    QWidget* labelWidget = window(form).control<QLabel>(label);
    QVERIFY(box && labelWidget);
    const auto relations = accessibleOf(box)->relations(QAccessible::Label);
    QCOMPARE(relations.size(), 1);
    QCOMPARE(relations.first().first->object(), labelWidget);
}

void AccessibilityTest::drawingsAreDescribed_data() {
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("mentions");

    QTest::newRow("calibration figure")
        << "Form2"
        << "Figura di calibrazione" << QStringList{"rossa", "circonferenza", "Incr"};
    QTest::newRow("plot") << "Form4"
                          << "Grafico delle curve"
                          << QStringList{"assi", "curva 1", "curva 2", "OA"};
}

void AccessibilityTest::drawingsAreDescribed() {
    QFETCH(QString, form);
    QFETCH(QString, name);
    QFETCH(QStringList, mentions);
    PlotSurface* surface = window(form).findChild<PlotSurface*>();
    QVERIFY(surface);
    QCOMPARE(accessibleName(surface), name);
    const QString description = accessibleOf(surface)->text(QAccessible::Description);
    for (const QString& word : mentions)
        QVERIFY2(description.contains(word), qPrintable(description));
}

void AccessibilityTest::keysPressTheFocusedButton_data() {
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("button");
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<int>("endings");

    const auto row = [](const char* form, const char* button, Qt::Key key, const char* keyName,
                        int endings) {
        QTest::addRow("%s %s %s", form, button, keyName) << form << button << key << endings;
    };
    for (const auto& [key, keyName] : {std::pair{Qt::Key_Return, "Return"},
                                       {Qt::Key_Enter, "keypad Enter"},
                                       {Qt::Key_Space, "Space"}}) {
        row("Form1", "Command1", key, keyName, 0);
        row("Form2", "Command1", key, keyName, 0);
        row("Form2", "Command2", key, keyName, 0);
        row("Form2", "Command3", key, keyName, 1);
        row("Form3", "Command1", key, keyName, 1);
        row("Form4", "Command3", key, keyName, 1);
    }
    row("Form4", "Command1", Qt::Key_Return, "Return", 0);
    row("Form4", "Command2", Qt::Key_Return, "Return", 0);
    row("Form4", "Command4", Qt::Key_Return, "Return", 0);
}

void AccessibilityTest::keysPressTheFocusedButton() {
    QFETCH(QString, form);
    QFETCH(QString, button);
    QFETCH(Qt::Key, key);
    QFETCH(int, endings);
    ProgramWindow& shown = window(form);
    showAndWait(shown);
    auto* pressed = shown.control<QPushButton>(button);
    pressed->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(pressed->hasFocus());
    QSignalSpy clicks(pressed, &QPushButton::clicked);
    QTest::keyClick(pressed, key);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(platform.endings, endings);
}

void AccessibilityTest::enterInATextBoxPressesNoButton_data() {
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("box");

    QTest::newRow("Form3 Text1") << "Form3"
                                 << "Text1";
    QTest::newRow("Form3 Text5") << "Form3"
                                 << "Text5";
    QTest::newRow("Form2 Text1") << "Form2"
                                 << "Text1";
}

// The windows have no default button: Enter in a box must not go on to the next window.
void AccessibilityTest::enterInATextBoxPressesNoButton() {
    QFETCH(QString, form);
    QFETCH(QString, box);
    ProgramWindow& shown = window(form);
    showAndWait(shown);
    QList<QPushButton*> buttons = shown.findChildren<QPushButton*>();
    // Give each button the focus once, as a user tabbing through the window would.
    for (QPushButton* button : buttons) {
        button->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(button->hasFocus());
    }
    auto* edit = shown.control<QLineEdit>(box);
    edit->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(edit->hasFocus());
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (QPushButton* button : buttons)
        spies.push_back(std::make_unique<QSignalSpy>(button, &QPushButton::clicked));
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Enter);
    for (const auto& spy : spies)
        QCOMPARE(spy->count(), 0);
    QCOMPARE(program->activeWindow(), &shown);
    QVERIFY(platform.messages.isEmpty());
}

void AccessibilityTest::messageBoxIsReadAsPlainText_data() {
    QTest::addColumn<QString>("prompt");

    QTest::newRow("a prompt of the program") << "VALa non è un numero";
    QTest::newRow("leading and trailing blanks") << " Il segmento Vn è nullo ";
    QTest::newRow("text that looks like markup") << "<b>VALa</b> non è un numero & <i>x</i> < 2";
}

// The desktop's own message box: its prompt is there for a screen reader exactly as written.
void AccessibilityTest::messageBoxIsReadAsPlainText() {
    QFETCH(QString, prompt);
    DesktopPlatform desktop;
    ProgramWindow& owner = window("Form3");
    showAndWait(owner);
    QString title;
    bool promptFound = false;
    Qt::TextFormat format = Qt::AutoText;
    // Looks from within the box's own event loop, once the box is up, then closes it.
    QTimer reader;
    connect(&reader, &QTimer::timeout, this, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(top);
            if (!box || !box->isVisible())
                continue;
            reader.stop();
            title = box->windowTitle();
            QVERIFY(titleFits(*box));
            format = box->textFormat();
            promptFound =
                findElement(accessibleOf(box), QAccessible::StaticText, prompt) != nullptr;
            box->accept();
        }
    });
    reader.start(10);
    desktop.messageBox(&owner, prompt);
    QCOMPARE(title, programTitle);
    QCOMPARE(format, Qt::PlainText);
    QVERIFY(promptFound);
}

// The intro as a screen reader reads it, paragraph by paragraph, from the container.
void AccessibilityTest::introIsReadAsText() {
    QAccessibleInterface* document = accessibleOf(window("Form1").control<QWidget>("OLE1"));
    QCOMPARE(document->role(), QAccessible::Document);
    QVERIFY(document->state().readOnly);
    QVERIFY(!document->state().editable);
    QAccessibleTextInterface* text = document->textInterface();
    QVERIFY(text);
    QCOMPARE(text->characterCount(), 382);
    int offset = 0;
    for (const QString& paragraph : introParagraphs()) {
        int start = -1;
        int end = -1;
        const QString read =
            text->textAtOffset(offset, QAccessible::ParagraphBoundary, &start, &end);
        QCOMPARE(read, paragraph + QLatin1Char('\n'));
        QCOMPARE(start, offset);
        QCOMPARE(text->text(start, end), read);
        offset = end;
    }
    QCOMPARE(offset, text->characterCount());
}

// Each character's place is on its own ink: a reader's highlight falls on the letter it says.
void AccessibilityTest::introCharactersAreWhereTheyAreDrawn() {
    Form1& form = program->form1();
    showAndWait(form);
    QAccessibleTextInterface* text = accessibleOf(form.control<QWidget>("OLE1"))->textInterface();
    const QImage drawn = form.document().grab().toImage();
    const double ratio = drawn.devicePixelRatio();
    const QPoint origin = form.document().mapToGlobal(QPoint(0, 0));
    int offset = 0;
    for (const QString& paragraph : introParagraphs()) {
        for (qsizetype index = 0; index < paragraph.size(); ++index, ++offset) {
            const QRect place = text->characterRect(offset).translated(-origin);
            QVERIFY(!place.isEmpty());
            const bool blank = paragraph.at(index).isSpace();
            // Less a device pixel each side, where the neighbours' edges may reach.
            const QRect pixels =
                QRect(place.topLeft() * ratio, place.size() * ratio).adjusted(1, 0, -1, 0);
            int ink = 0;
            for (int y = pixels.top(); y <= pixels.bottom(); ++y)
                for (int x = pixels.left(); x <= pixels.right(); ++x)
                    ink += drawn.rect().contains(x, y) && qGray(drawn.pixel(x, y)) < 128;
            QVERIFY2((ink > 0) != blank, qPrintable(QString(paragraph.at(index))));
            QCOMPARE(text->offsetAtPoint(text->characterRect(offset).center()), offset);
        }
        ++offset; // the paragraph's line break
    }
}

void AccessibilityTest::windowsAreWindows_data() {
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");

    QTest::newRow("Form1") << "Form1"
                           << "Form1"
                           << "Form1";
    QTest::newRow("Form2") << "Form2"
                           << "Form2"
                           << "Form2";
    QTest::newRow("Form3 spoken, its title a blank") << "Form3"
                                                     << "Form3, valori delle costanti"
                                                     << " ";
    QTest::newRow("Form4") << "Form4"
                           << "Form4"
                           << "Form4";
}

void AccessibilityTest::windowsAreWindows() {
    QFETCH(QString, form);
    QFETCH(QString, name);
    QFETCH(QString, title);
    ProgramWindow& shown = window(form);
    QCOMPARE(accessibleOf(&shown)->role(), QAccessible::Window);
    QCOMPARE(accessibleName(&shown), name);
    QCOMPARE(shown.windowTitle(), title);
}

void AccessibilityTest::applicationSaysWhatItIs() {
    const QString description = accessibleOf(qApp)->text(QAccessible::Description);
    QVERIFY(description.contains("curve"));
    QVERIFY(!description.contains(QCoreApplication::applicationFilePath()));
}

void AccessibilityTest::progressDialogIsRead_data() {
    QTest::addColumn<bool>("copy");
    QTest::addColumn<QString>("message");
    QTest::newRow("a long run") << false << "Calcolo delle curve in corso...";
    QTest::newRow("a long copy") << true << "Preparazione dell'immagine in corso...";
}

// The desktop's progress dialog of a long run or copy: over the plot window, its title whole,
// its message and "Annulla" there for a screen reader, and "Annulla" pressed through it stops.
void AccessibilityTest::progressDialogIsRead() {
    QFETCH(bool, copy);
    QFETCH(QString, message);
    DesktopPlatform desktop;
    ProgramWindow& owner = window("Form4");
    showAndWait(owner);
    std::unique_ptr<ProgressReport> report =
        copy ? desktop.beginCopyProgress(&owner) : desktop.beginProgress(&owner);
    QProgressDialog* dialog = nullptr;
    QElapsedTimer clock;
    clock.start();
    // The dialog comes once the task has lasted half a second; the interface thread shows it
    // while a worker reports. The minute only bounds a failure on a loaded machine.
    while (!dialog && clock.elapsed() < 60000) {
        QVERIFY(report->update(1, 10));
        report->refresh();
        dialog = owner.findChild<QProgressDialog*>();
        QTest::qWait(20);
    }
    QVERIFY(dialog);
    QTRY_VERIFY(dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), programTitle);
    QVERIFY(titleFits(*dialog));
    QVERIFY(owner.frameGeometry().contains(dialog->frameGeometry().center()));
    QAccessibleInterface* read = accessibleOf(dialog);
    QVERIFY(findElement(read, QAccessible::StaticText, message));
    QAccessibleInterface* cancel = findElement(read, QAccessible::Button, "Annulla");
    QVERIFY(cancel && cancel->actionInterface());
    cancel->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QTRY_VERIFY_WITH_TIMEOUT(!report->update(2, 10), 60000); // the press is animated
}

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
