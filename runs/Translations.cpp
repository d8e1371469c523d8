#include "runs/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QList>
#include <QPointer>
#include <QTranslator>

namespace {

// Owned by the application object; a later call replaces them.
QList<QPointer<QTranslator>>& Installed()
{
    static QList<QPointer<QTranslator>> installed;
    return installed;
}

} // namespace

std::unique_ptr<QTranslator> ProgramTranslator(const QLocale& locale)
{
    for (const QString& name : locale.uiLanguages()) {
        const QLocale language(name);
        if (language.language() == QLocale::English)
            return nullptr;
        // C and POSIX, and languages Qt does not know, say nothing of what the user reads.
        if (language.language() == QLocale::C)
            continue;
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(language, QStringLiteral("quillpost"), QStringLiteral("_"),
                QStringLiteral(":/i18n")))
            return translator;
    }
    return nullptr;
}

QString InstallTranslations(const QLocale& locale, const QStringList& qtCatalogues)
{
    for (const QPointer<QTranslator>& translator : std::as_const(Installed()))
        delete translator.data();
    Installed().clear();

    std::unique_ptr<QTranslator> program = ProgramTranslator(locale);
    if (!program)
        return QString();
    const QString language = program->language();
    const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    // Qt's catalogues go first, so that the program's own words win where both have one.
    for (const QString& catalogue : qtCatalogues) {
        auto* qt = new QTranslator(QCoreApplication::instance());
        if (qt->load(QLocale(language), catalogue, QStringLiteral("_"), qtFolder)) {
            QCoreApplication::installTranslator(qt);
            Installed().append(qt);
        } else {
            delete qt;
        }
    }
    program->setParent(QCoreApplication::instance());
    QCoreApplication::installTranslator(program.get());
    Installed().append(program.release());
    return language;
}
