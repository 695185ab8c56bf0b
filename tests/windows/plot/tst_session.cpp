#include "../../support/recording_figure_dialogs.h"
#include "../../support/recording_platform.h"
#include "../../support/test_windows.h"
#include "../../support/user_steps.h"

#include "core/curve_generator.h"
#include "figure/session_file.h"
#include "surface/plot_surface.h"
#include "windows/plot/plot_menu.h"

#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

// The work is kept: a session saved and opened in a fresh program is the same state and the
// same picture, and goes on the same; undo gives back the picture before each step.
class SessionTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void reopenedSessionGoesOnTheSame_data();
    void reopenedSessionGoesOnTheSame();
    void undoAndRedoGiveBackEachPicture();
    void figuresCarryTheSession_data();
    void figuresCarryTheSession();
    void keptAfterEveryStepAndOpenedByADrop();
    void aFileThatDoesNotOpenChangesNothing_data();
    void aFileThatDoesNotOpenChangesNothing();

private:
    struct Session {
        std::unique_ptr<RecordingPlatform> platform = std::make_unique<RecordingPlatform>();
        std::unique_ptr<Program> program = std::make_unique<Program>(*platform);
        RecordingFigureDialogs dialogs;
    };
    // The state the user can see: the picture, the boxes, the factor and the colour cursor.
    struct Seen {
        QImage picture;
        QStringList texts;
        TaggedValue Incr;
        std::int16_t Miocolor = 0;
        bool operator==(const Seen&) const = default;
    };
    void play(Session& session, const QString& actions);
    static void compare(const Seen& actual, const Seen& expected);
    Seen seen(Session& session);
    QString saveSession(Session& session);

    std::unique_ptr<Session> first_;
    std::unique_ptr<QTemporaryDir> folder_;
};

void SessionTest::init() {
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    folder_ = std::make_unique<QTemporaryDir>();
    first_ = std::make_unique<Session>();
}

void SessionTest::cleanup() {
    first_.reset();
    folder_.reset();
    QLocale::setDefault(QLocale::c());
}

// Plays the user's steps as user_steps.h does; "cancel=K" also stops the next long run after
// K reports.
void SessionTest::play(Session& session, const QString& actions) {
    for (const QString& action : actions.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (action.startsWith(QLatin1String("cancel="))) {
            session.platform->progressUpdates = 0;
            session.platform->cancelAfterUpdates = action.section(QLatin1Char('='), 1).toInt();
        } else {
            playUserStep(*session.program, action);
        }
    }
}

SessionTest::Seen SessionTest::seen(Session& session) {
    Program& program = *session.program;
    QStringList texts;
    for (const char* box : {"Text1", "Text2", "Text3", "Text5"})
        texts << program.form3().control<QLineEdit>(box)->text();
    return {program.form4().surface().snapshot().convertToFormat(QImage::Format_RGB32), texts,
            program.form2().Incr, program.form3().Miocolor};
}

void SessionTest::compare(const Seen& actual, const Seen& expected) {
    QCOMPARE(actual.texts, expected.texts);
    QCOMPARE(actual.Incr.toText(), expected.Incr.toText());
    QCOMPARE(actual.Miocolor, expected.Miocolor);
    QVERIFY(actual.picture == expected.picture);
}

QString SessionTest::saveSession(Session& session) {
    const QString path = folder_->filePath(QStringLiteral("sessione"));
    session.program->form4().figureMenu().setDialogs(session.dialogs);
    session.dialogs.sessionSaveAnswer = path;
    session.program->form4().figureMenu().saveSession();
    return path + QStringLiteral(".zorpun");
}

void SessionTest::reopenedSessionGoesOnTheSame_data() {
    QTest::addColumn<QString>("actions");
    QTest::newRow("the default run") << "run=86;55;90;1";
    QTest::newRow("lines") << "run=86;55;90;1 lines";
    QTest::newRow("a clear") << "run=86;55;90;1 lines clear";
    QTest::newRow("several factors")
        << "incr=0,51 run=120;30;60;2 incr=1,11 run=300;80;200;0,5 lines";
    QTest::newRow("a stopped long run") << "run=86;55;90;1 cancel=3 run=200;45;1000000;0,01";
    QTest::newRow("the colour cursor past 14") << "colour=13 run=86;55;90;1 lines lines";
}

void SessionTest::reopenedSessionGoesOnTheSame() {
    QFETCH(QString, actions);
    play(*first_, QStringLiteral("incr=0,75 ") + actions);
    const QString path = saveSession(*first_);
    Session second;
    QVERIFY2(second.program->openSession(path), qPrintable(second.platform->messages.join(QLatin1Char('\n'))));
    QVERIFY(second.platform->messages.isEmpty());
    QVERIFY(seen(second) == seen(*first_) || (compare(seen(second), seen(*first_)), false));
    // Both go on: the next AVANTI and "Traccia le linee" draw the same in both.
    for (const QString& next : {QStringLiteral("lines"), QStringLiteral("run=40;10;70;3")}) {
        play(*first_, next);
        play(second, next);
        QVERIFY(seen(second) == seen(*first_) || (compare(seen(second), seen(*first_)), false));
    }
}

void SessionTest::undoAndRedoGiveBackEachPicture() {
    QList<Seen> before;
    for (const char* step : {"incr=0,6 run=86;55;90;1", "lines", "clear", "colour=14 lines",
                                "run=120;30;60;2"}) {
        before << seen(*first_);
        play(*first_, QString::fromLatin1(step));
    }
    const Seen last = seen(*first_);
    ::Session& session = first_->program->session();
    // The clear is one step and the run after it another.
    for (qsizetype index = before.size() - 1; index >= 0; --index) {
        session.undo();
        if (index == 2)
            session.undo();
        QCOMPARE(seen(*first_).Miocolor, before.at(index).Miocolor);
        QVERIFY(seen(*first_).picture == before.at(index).picture);
    }
    while (session.undoStack().canRedo())
        session.redo();
    QVERIFY(seen(*first_) == last);
    session.undo();
    play(*first_, QStringLiteral("lines"));
    QVERIFY(!session.undoStack().canRedo());
    // A redraw the user stops leaves the drawing and the step as they were.
    play(*first_, QStringLiteral("run=200;45;3000000;0,01 lines"));
    const Seen shown = seen(*first_);
    const int step = session.undoStack().index();
    first_->platform->progressUpdates = 0;
    first_->platform->cancelAfterUpdates = 2;
    session.undo();
    QCOMPARE(session.undoStack().index(), step);
    QVERIFY(seen(*first_) == shown);
}

void SessionTest::figuresCarryTheSession_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("PNG") << "figura.png";
    QTest::newRow("SVG") << "figura.svg";
    QTest::newRow("PDF") << "figura.pdf";
}

void SessionTest::figuresCarryTheSession() {
    QFETCH(QString, name);
    play(*first_, QStringLiteral("incr=0,7 run=86;55;90;1 lines run=50;20;30;2,5 clear"));
    const QString path = folder_->filePath(name);
    PlotMenu& menu = first_->program->form4().figureMenu();
    menu.setDialogs(first_->dialogs);
    first_->dialogs.saveAnswer = FigureDialogs::SaveChoice{path, FigureFormat::Png, 1};
    menu.saveImage();
    const auto read = readSessionFile(path);
    QVERIFY(std::holds_alternative<SessionRecord>(read));
    const SessionRecord& record = std::get<SessionRecord>(read);
    QCOMPARE(encodeSession(record.controls, record.history), menu.recipe());
}

// "ESCI" ends the program at once, so the session is kept on its own after every step; a
// session dropped on any window opens.
void SessionTest::keptAfterEveryStepAndOpenedByADrop() {
    const QString kept = folder_->filePath(QStringLiteral("stato/ultima.zorpun"));
    first_->program->keepSessionAt(kept);
    PlotMenu& menu = first_->program->form4().figureMenu();
    for (const char* step : {"incr=0,6 run=86;55;90;1", "lines", "clear", "undo"}) {
        if (step == QLatin1String("undo"))
            first_->program->session().undo();
        else
            play(*first_, QString::fromLatin1(step));
        QFile file(kept);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), menu.recipe());
    }
    Session second;
    play(second, QStringLiteral("run=10;20;30;4"));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(kept)});
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&second.program->form3(), &enter);
    QVERIFY(enter.isAccepted());
    QCoreApplication::sendEvent(&second.program->form3(), &drop);
    QVERIFY(drop.isAccepted());
    QCoreApplication::processEvents(); // the open waits until the drop is over
    QVERIFY(seen(second) == seen(*first_) || (compare(seen(second), seen(*first_)), false));
}

void SessionTest::aFileThatDoesNotOpenChangesNothing_data() {
    QTest::addColumn<QString>("run");
    QTest::addColumn<int>("cancelAfter");
    QTest::addColumn<QString>("message");
    QTest::newRow("not a session") << "" << -1 << "non è una sessione";
    QTest::newRow("a run the plot window refuses") << "86;55;0;1" << -1 << segmentIsNullMessage;
    QTest::newRow("a long replay cancelled") << "200;45;3000000;0,01" << 2 << "";
}

void SessionTest::aFileThatDoesNotOpenChangesNothing() {
    QFETCH(QString, run);
    QFETCH(int, cancelAfter);
    QFETCH(QString, message);
    QByteArray content("{\"format\": \"altro\"}");
    if (!run.isEmpty()) {
        PlotRun planned;
        const QStringList texts = run.split(QLatin1Char(';'));
        for (int index = 0; index < 4; ++index)
            planned.typed[std::size_t(index)] = texts.at(index);
        const auto value = [&](int index) {
            return TaggedValue::fromDouble(QLocale().toDouble(texts.at(index)));
        };
        planned.constants = {value(0), value(1), value(2), value(3)};
        content = encodeSession(SessionControls{},
                                {PlotSetUp{TaggedValue::fromDouble(0.7)}, planned});
    }
    const QString path = folder_->filePath(QStringLiteral("aperta.zorpun"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    file.close();
    play(*first_, QStringLiteral("incr=0,75 run=86;55;90;1 lines"));
    const Seen before = seen(*first_);
    const std::size_t steps = first_->program->session().history().size();
    first_->platform->progressUpdates = 0;
    first_->platform->cancelAfterUpdates = cancelAfter;
    QVERIFY(!first_->program->openSession(path));
    QVERIFY(seen(*first_) == before);
    QCOMPARE(first_->program->session().history().size(), steps);
    QVERIFY2(first_->platform->messages.size() == (message.isEmpty() ? 0 : 1),
             qPrintable(first_->platform->messages.join(QLatin1Char('\n'))));
    if (!message.isEmpty())
        QVERIFY2(first_->platform->messages.constFirst().contains(message),
                 qPrintable(first_->platform->messages.constFirst()));
    // The program goes on as before.
    play(*first_, QStringLiteral("lines"));
    QVERIFY(first_->platform->messages.size() <= 1);
}

QTEST_MAIN(SessionTest)
#include "tst_session.moc"
