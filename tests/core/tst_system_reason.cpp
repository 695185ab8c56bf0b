#include "core/system_reason.h"

#include <QtTest>
#include <cerrno>

// The system's reasons inside the program's Italian messages: Qt reports them in English (its
// own words for the commonest, the C library's for the rest); the program gives its own.
class SystemReasonTest : public QObject {
    Q_OBJECT

private slots:
    void reasonsReadInItalian_data();
    void reasonsReadInItalian();
};

void SystemReasonTest::reasonsReadInItalian_data() {
    QTest::addColumn<QString>("reported");
    QTest::addColumn<QString>("italian");
    // As a save file reports them: the text Qt makes of the error number.
    QTest::newRow("missing") << qt_error_string(ENOENT) << "file o cartella inesistente";
    QTest::newRow("no permission") << qt_error_string(EACCES) << "permesso negato";
    QTest::newRow("full disk") << qt_error_string(ENOSPC) << "spazio esaurito sul disco";
    QTest::newRow("read-only disk") << qt_error_string(EROFS) << "il disco è di sola lettura";
    QTest::newRow("past the file size limit") << qt_error_string(EFBIG) << "file troppo grande";
    QTest::newRow("quota") << qt_error_string(EDQUOT) << "spazio concesso all'utente esaurito";
    QTest::newRow("no reason given") << QIODevice::tr("Unknown error") << "motivo sconosciuto";
    QTest::newRow("one it does not know") << qt_error_string(EPROTO) << qt_error_string(EPROTO);
}

void SystemReasonTest::reasonsReadInItalian() {
    QFETCH(QString, reported);
    QFETCH(QString, italian);
    QCOMPARE(italianSystemReason(reported), italian);
}

QTEST_GUILESS_MAIN(SystemReasonTest)
#include "tst_system_reason.moc"
