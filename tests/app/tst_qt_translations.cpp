#include "app/qt_translations.h"
#include "shell/figure_save_dialog.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTranslator>
#include <QtTest>

// Qt's own dialogs in an Italian program: under Italian they read in Italian, from the
// catalogues Qt ships; under a language Qt has none for they stay as they were.
class QtTranslationsTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { qDeleteAll(qApp->findChildren<QTranslator*>()); }
    void installsForTheUsersLanguage_data();
    void installsForTheUsersLanguage();
    void saveDialogAndPreviewReadInItalian();
};

namespace {

// Debian's qt6-translations-l10n, which scripts/setup installs.
bool italianCatalogueAbsent() {
    return !QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                          QStringLiteral("/qtbase_it.qm"));
}

} // namespace

Q_DECLARE_METATYPE(QtTranslations)

void QtTranslationsTest::installsForTheUsersLanguage_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QtTranslations>("expected");
    QTest::newRow("Italian") << QLocale(QLocale::Italian, QLocale::Italy)
                             << QtTranslations::Installed;
    QTest::newRow("Swiss Italian")
        << QLocale(QLocale::Italian, QLocale::Switzerland) << QtTranslations::Installed;
    QTest::newRow("C") << QLocale::c() << QtTranslations::Missing;
}

void QtTranslationsTest::installsForTheUsersLanguage() {
    QFETCH(QLocale, locale);
    QFETCH(QtTranslations, expected);
    if (expected == QtTranslations::Installed && italianCatalogueAbsent())
        QSKIP(
            "qt6-translations-l10n is not installed (no qtbase_it.qm); scripts/setup installs it");
    QCOMPARE(installQtTranslations(*qApp, locale), expected);
    QCOMPARE(qApp->findChildren<QTranslator*>().size(),
             expected == QtTranslations::Installed ? 1 : 0);
    const QString cancel = QCoreApplication::translate("QPlatformTheme", "Cancel");
    QCOMPARE(cancel == QLatin1String("Cancel"), expected == QtTranslations::Missing);
}

void QtTranslationsTest::saveDialogAndPreviewReadInItalian() {
    if (italianCatalogueAbsent())
        QSKIP(
            "qt6-translations-l10n is not installed (no qtbase_it.qm); scripts/setup installs it");
    installQtTranslations(*qApp, QLocale(QLocale::Italian, QLocale::Italy));
    const std::unique_ptr<QFileDialog> dialog =
        figureSaveDialog(nullptr, QStringLiteral("Salva immagine"), SaveChoice{});
    const auto* buttons = dialog->findChild<QDialogButtonBox*>();
    QVERIFY(buttons && buttons->button(QDialogButtonBox::Save));
    const QString save = buttons->button(QDialogButtonBox::Save)->text();
    QCOMPARE(save, QCoreApplication::translate("QFileDialog", "&Save"));
    QVERIFY2(save != QLatin1String("&Save"), qPrintable(save));
    const QString cancel = buttons->button(QDialogButtonBox::Cancel)->text();
    QCOMPARE(cancel, QCoreApplication::translate("QPlatformTheme", "Cancel"));
    QVERIFY2(cancel != QLatin1String("Cancel"), qPrintable(cancel));
    // The question the dialog asks before it replaces a file.
    const char* replace = "%1 already exists.\nDo you want to replace it?";
    QVERIFY(QCoreApplication::translate("QFileDialog", replace) != QLatin1String(replace));
    // The print preview's tool buttons are its actions.
    QPrinter printer;
    QPrintPreviewDialog preview(&printer);
    QStringList tips;
    for (const QAction* action : preview.findChildren<QAction*>())
        tips << action->toolTip();
    for (const char* english : {"Next page", "Print", "Zoom in"}) {
        QVERIFY2(!tips.contains(QLatin1String(english)), english);
        QVERIFY2(tips.contains(QCoreApplication::translate("QPrintPreviewDialog", english)),
                 english);
    }
}

QTEST_MAIN(QtTranslationsTest)
#include "tst_qt_translations.moc"
