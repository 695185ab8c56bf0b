#include "figure/animation_export.h"
#include "figure/session_file.h"

#include <QTemporaryDir>
#include <QtTest>
#include <gif_lib.h>

// Animations: their frames, written as GIF or PNG files, are the pictures of their own
// recipes; bad ranges are refused; a stopped export leaves nothing.
class AnimationTest : public QObject {
    Q_OBJECT

private slots:
    void init() { folder_ = std::make_unique<QTemporaryDir>(); }
    void countsEveryValueUpToTheEnd_data();
    void countsEveryValueUpToTheEnd();
    void refusesHostileRanges_data();
    void refusesHostileRanges();
    void framesAreTheirRecipes_data();
    void framesAreTheirRecipes();
    void aStopLeavesNoFile_data();
    void aStopLeavesNoFile();

private:
    QString file(const QString& name) const { return folder_->filePath(name); }
    std::unique_ptr<QTemporaryDir> folder_;
};

namespace {

CurveConstants constants(double a, double b, double n, double e) {
    return {TaggedValue::fromDouble(a), TaggedValue::fromDouble(b), TaggedValue::fromDouble(n),
            TaggedValue::fromDouble(e)};
}

// A base of one run with lines, drawn at the colour cursor 3, then the animation.
AnimationJob jobOf(const Animation& animation, int scale) {
    AnimationJob job;
    job.controls.Incr = TaggedValue::fromDouble(0.55);
    job.controls.Miocolor = 4;
    job.history = {PlotSetUp{job.controls.Incr},
                   PlotRun{constants(50, 30, 60, 2.5), LinkingLines::On, 3, std::nullopt,
                           typedTextsFor(constants(50, 30, 60, 2.5))}};
    job.run = constants(86, 55, 90, 1);
    job.animation = animation;
    job.look.logicalSize = QSize(320, 200);
    job.scale = scale;
    return job;
}

// The picture a session draws, as "--render --session" would draw it.
QImage pictureOf(const QByteArray& recipe, const FigureLook& look, int scale) {
    const auto read = decodeSession(recipe);
    if (!std::holds_alternative<SessionRecord>(read))
        return {};
    const SessionRecord& record = std::get<SessionRecord>(read);
    return renderFigureImage(journalOf(record.history), look, scale)
        .convertToFormat(QImage::Format_RGB32);
}

// The frames as a viewer shows them: each picture of the GIF over the one before.
std::vector<QImage> gifFrames(const QString& path) {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(QFile::encodeName(path).constData(), &error);
    std::vector<QImage> frames;
    if (!gif || DGifSlurp(gif) == GIF_ERROR)
        return frames;
    QImage canvas(gif->SWidth, gif->SHeight, QImage::Format_RGB32);
    for (int index = 0; index < gif->ImageCount; ++index) {
        const SavedImage& image = gif->SavedImages[index];
        const GifImageDesc& box = image.ImageDesc;
        for (int y = 0; y < box.Height; ++y)
            for (int x = 0; x < box.Width; ++x) {
                const GifColorType colour =
                    gif->SColorMap->Colors[image.RasterBits[y * box.Width + x]];
                canvas.setPixel(box.Left + x, box.Top + y,
                                qRgb(colour.Red, colour.Green, colour.Blue));
            }
        frames.push_back(canvas.copy());
    }
    DGifCloseFile(gif, &error);
    return frames;
}

// Stops the export at a frame.
class StopAt : public ProgressReport {
public:
    explicit StopAt(std::int64_t frame) : frame_(frame) {}
    bool update(std::int64_t done, std::int64_t) override { return done < frame_; }

private:
    std::int64_t frame_;
};

} // namespace

void AnimationTest::countsEveryValueUpToTheEnd_data() {
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<double>("step");
    QTest::addColumn<qint64>("count");
    QTest::addColumn<double>("last");
    QTest::newRow("the default family") << 10.0 << 109.0 << 1.0 << qint64(100) << 109.0;
    QTest::newRow("rounding past the end") << 0.0 << 0.3 << 0.1 << qint64(4) << 0.3;
    QTest::newRow("tenths") << 0.0 << 1.0 << 0.1 << qint64(11) << 1.0;
    QTest::newRow("short of the end") << 0.0 << 1.0 << 0.3 << qint64(4) << 0.9;
    QTest::newRow("one value") << 5.0 << 5.0 << 2.0 << qint64(1) << 5.0;
    QTest::newRow("the most") << 1.0 << 100000.0 << 1.0 << qint64(100000) << 100000.0;
    QTest::newRow("negative values") << -90.0 << -80.0 << 2.5 << qint64(5) << -80.0;
}

void AnimationTest::countsEveryValueUpToTheEnd() {
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(double, step);
    QFETCH(qint64, count);
    QFETCH(double, last);
    const Animation animation{AnimatedConstant::N, from, to, step};
    QCOMPARE(animationFault(animation).value_or(QString()), QString());
    QCOMPARE(frameCount(animation), count);
    QCOMPARE(frameValue(animation, count - 1), last);
    QCOMPARE(frameValue(animation, count / 2), from + double(count / 2) * step);
}

void AnimationTest::refusesHostileRanges_data() {
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<double>("step");
    QTest::addColumn<QString>("reason");
    const double infinity = std::numeric_limits<double>::infinity();
    QTest::newRow("start past the end") << 2.0 << 1.0 << 1.0 << "l'inizio supera la fine";
    QTest::newRow("step 0") << 1.0 << 2.0 << 0.0 << "il passo è zero";
    QTest::newRow("negative step") << 1.0 << 2.0 << -1.0 << "il passo è negativo";
    QTest::newRow("one frame too many") << 0.0 << 100000.0 << 1.0 << "troppi fotogrammi";
    QTest::newRow("a huge count") << 0.0 << 1e300 << 1e-300 << "troppi fotogrammi";
    QTest::newRow("a step lost in the start") << 1e20 << 2e20 << 1.0 << "troppo piccolo";
    QTest::newRow("infinite") << 0.0 << infinity << 1.0 << "non è finito";
    QTest::newRow("not a number") << qQNaN() << 1.0 << 1.0 << "non è finito";
}

void AnimationTest::refusesHostileRanges() {
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(double, step);
    QFETCH(QString, reason);
    const AnimationJob job = jobOf({AnimatedConstant::OA, from, to, step}, 1);
    const std::optional<QString> fault = animationFault(job.animation);
    QVERIFY(fault && fault->contains(reason));
    for (const char* name : {"a.gif", "a.png"}) {
        const std::optional<QString> failure = writeAnimation(job, file(QLatin1String(name)));
        QVERIFY(failure && failure->contains(QLatin1String(name)) && failure->contains(reason));
    }
    QCOMPARE(QDir(folder_->path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void AnimationTest::framesAreTheirRecipes_data() {
    QTest::addColumn<int>("constant");
    QTest::addColumn<int>("accumulation");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("scale");
    using A = Accumulation;
    QTest::newRow("OA, plain") << int(AnimatedConstant::OA) << int(A::Off) << 0 << 1;
    // Turning, a frame's run leaves where the run before drew.
    QTest::newRow("angle, plain, lines")
        << int(AnimatedConstant::Angle) << int(A::Off) << int(LinkingLines::On) << 1;
    QTest::newRow("angle, accumulating, lines")
        << int(AnimatedConstant::Angle) << int(A::On) << int(LinkingLines::On) << 1;
    QTest::newRow("increment, plain, 2x")
        << int(AnimatedConstant::IncrementT) << int(A::Off) << 0 << 2;
    QTest::newRow("n, accumulating, 2x") << int(AnimatedConstant::N) << int(A::On) << 0 << 2;
}

void AnimationTest::framesAreTheirRecipes() {
    QFETCH(int, constant);
    QFETCH(int, accumulation);
    QFETCH(int, lines);
    QFETCH(int, scale);
    const Animation animation{
        AnimatedConstant(constant), 20, 80, 20, 25, Accumulation(accumulation),
        LinkingLines(lines)};
    const AnimationJob job = jobOf(animation, scale);
    QCOMPARE(writeAnimation(job, file("a.gif")).value_or(QString()), QString());
    QCOMPARE(writeAnimation(job, file("a.png")).value_or(QString()), QString());
    const std::vector<QImage> frames = gifFrames(file("a.gif"));
    QCOMPARE(frames.size(), std::size_t(4));
    for (std::int64_t frame = 0; frame < 4; ++frame) {
        const QImage expected = pictureOf(frameRecipe(job, frame), job.look, scale);
        QVERIFY(!expected.isNull() && frames[std::size_t(frame)] == expected);
        // A PNG frame is the picture of the recipe it carries.
        const QString name = sequenceFileName(file("a.png"), frame, 4);
        QCOMPARE(QFileInfo(name).fileName(), QStringLiteral("a_0000%1.png").arg(frame + 1));
        const auto carried = readSessionFile(name);
        QVERIFY(std::holds_alternative<SessionRecord>(carried));
        QCOMPARE(std::get<SessionRecord>(carried).animation, std::optional(animation));
        QVERIFY(QImage(name).convertToFormat(QImage::Format_RGB32) == expected);
    }
    const auto whole = readSessionFile(file("a.gif"));
    QVERIFY(std::holds_alternative<SessionRecord>(whole));
    const SessionRecord& record = std::get<SessionRecord>(whole);
    QCOMPARE(encodeSession(record.controls, record.history, record.animation),
             animationRecipe(job));
}

void AnimationTest::aStopLeavesNoFile_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("earlier"); // a file of that name before
    QTest::newRow("GIF") << "a.gif"
                         << "a.gif";
    QTest::newRow("PNG files") << "a.png"
                               << "a_00002.png";
}

void AnimationTest::aStopLeavesNoFile() {
    QFETCH(QString, name);
    QFETCH(QString, earlier);
    QFile before(file(earlier));
    QVERIFY(before.open(QIODevice::WriteOnly) && before.write("earlier") == 7);
    before.close();
    StopAt stop(3);
    const AnimationJob job = jobOf({AnimatedConstant::OA, 10, 100, 10}, 1);
    QCOMPARE(writeAnimation(job, file(name), &stop).value_or(QString()), QString());
    QCOMPARE(QDir(folder_->path()).entryList(QDir::Files | QDir::Hidden), QStringList{earlier});
    QVERIFY(before.open(QIODevice::ReadOnly));
    QCOMPARE(before.readAll(), QByteArray("earlier"));
}

QTEST_GUILESS_MAIN(AnimationTest)
#include "tst_animation.moc"
