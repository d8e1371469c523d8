#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

#include <memory>

class QTranslator;

// The program speaks the first language of the user's list (LANGUAGE, then LC_ALL,
// LC_MESSAGES, LANG, as QLocale::uiLanguages() gives them) that it has a translation for.
// English is the language its texts are written in: met first, it ends the search, so a list
// of "en:de" stays English; C, POSIX and names Qt does not know are passed over. The
// translations are compiled into the program.

// The program's own translation for locale, or null when the program speaks English.
std::unique_ptr<QTranslator> ProgramTranslator(const QLocale& locale);

// Installs the program's translation for locale on the running application, and with it
// Qt's own catalogues (standard buttons, dialogs) in the same language from Qt's translations
// folder, in place of whatever an earlier call installed. Returns the language installed
// ("de"), or an empty string for English.
QString InstallTranslations(
    const QLocale& locale, const QStringList& qtCatalogues = {QStringLiteral("qtbase")});
