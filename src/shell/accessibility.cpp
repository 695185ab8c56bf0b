#include "shell/accessibility.h"

#include "shell/program_window.h"

#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QCoreApplication>

const char* const programDescription =
    "Disegna una famiglia di curve a punti costruite da un segmento OA";

namespace {

// The application object, described by its purpose rather than by its file's path.
class DescribedApplication : public QAccessibleApplication {
public:
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Description)
            return QString::fromUtf8(programDescription);
        return QAccessibleApplication::text(kind);
    }
};

QAccessibleInterface* programInterfaces(const QString& className, QObject* object) {
    if (className == QLatin1String("ProgramWindow")) {
        if (auto* window = qobject_cast<ProgramWindow*>(object))
            return new QAccessibleWidget(window, QAccessible::Window);
    }
    if (object == QCoreApplication::instance() &&
        className == QLatin1String(QCoreApplication::staticMetaObject.className()))
        return new DescribedApplication;
    return nullptr;
}

} // namespace

void installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(programInterfaces);
        return true;
    }();
    (void)installed;
}
