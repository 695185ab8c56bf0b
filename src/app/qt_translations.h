#pragma once

class QCoreApplication;
class QLocale;

// Whether Qt's own texts found a catalogue in the user's language.
enum class QtTranslations { Installed, Missing };

// Qt's own texts (the file and print dialogs, the standard buttons, the text boxes' menus) in
// the locale's language, from the catalogues Qt ships (Debian: qt6-translations-l10n).
// Without a catalogue for that language they stay in English.
QtTranslations installQtTranslations(QCoreApplication& application, const QLocale& locale);
