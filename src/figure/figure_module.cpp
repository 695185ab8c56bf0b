#include "figure/figure_module.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QStringList>

namespace {

// Next to the program in the build tree; under the library folder once installed, found
// from the program's own folder so that a moved installation finds it too; the build
// tree's copy for the tests and benchmarks, which run from folders of their own.
QStringList placesToLook() {
    if (qEnvironmentVariableIsSet("ZORPUN_FIGURES_MODULE"))
        return {qEnvironmentVariable("ZORPUN_FIGURES_MODULE")};
    const QString name = QStringLiteral(ZORPUN_FIGURES_MODULE_NAME);
    const QString programFolder = QCoreApplication::applicationDirPath();
    return {
        QDir(programFolder).filePath(name),
        QDir(programFolder).filePath(QStringLiteral(ZORPUN_FIGURES_MODULE_FROM_PROGRAM "/") + name),
        QStringLiteral(ZORPUN_FIGURES_MODULE_INSTALLED),
        QStringLiteral(ZORPUN_FIGURES_MODULE_BUILT)};
}

} // namespace

std::variant<const FigureModuleEntries*, QString> loadFigureModule(const QStringList& places) {
    QString lastError =
        QStringLiteral("il file %1 non si trova").arg(QDir::toNativeSeparators(places.value(0)));
    for (const QString& path : places) {
        if (!QFileInfo::exists(path))
            continue;
        // A library stays loaded when its QLibrary goes, unless unloaded: the module's code
        // paints the figures for the rest of the run.
        QLibrary library(QDir::cleanPath(path));
        const auto entry =
            reinterpret_cast<FigureModuleEntryFunction>(library.resolve(figureModuleEntryName));
        const FigureModuleEntries* entries = entry ? entry() : nullptr;
        if (entries && entries->interfaceVersion == figureModuleVersion)
            return entries;
        const QString shown = QDir::toNativeSeparators(path);
        if (entry)
            lastError = QStringLiteral("%1 è di un'altra versione del programma").arg(shown);
        else if (library.isLoaded())
            lastError = QStringLiteral("%1 non è il modulo per SVG e stampa").arg(shown);
        else
            lastError = library.errorString();
        if (library.isLoaded())
            library.unload();
    }
    return QStringLiteral("il modulo per SVG e stampa non si può caricare: %1").arg(lastError);
}

std::variant<const FigureModuleEntries*, QString> figureModule() {
    static const std::variant<const FigureModuleEntries*, QString> loaded =
        loadFigureModule(placesToLook());
    return loaded;
}
