#include "platform/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

QString& shownLanguage() {
    static QString language = QStringLiteral("en_US");
    return language;
}

// Installed last, asked first: a translator that loaded is kept by the
// application object; one that did not is dropped.
QTranslator* installFrom(const QString& name, const QString& folder, const QLocale& locale) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (locale.language() == QLocale::C
            ? translator->load(name, folder)
            : translator->load(locale, name, QStringLiteral("_"), folder)) {
        QCoreApplication::installTranslator(translator);
        return translator;
    }
    delete translator;
    return nullptr;
}

} // namespace

namespace Translations {

void install(Languages languages) {
    installFrom(QStringLiteral("sleevanta_en"), QStringLiteral(":/i18n"), QLocale::c());
    if (languages == Languages::EnglishOnly) {
        return;
    }
    // QTranslator::load walks the user's languages in order; a language we do
    // not ship leaves the English words.
    const QLocale user;
    installFrom(QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath), user);
    if (const QTranslator* ours =
            installFrom(QStringLiteral("sleevanta"), QStringLiteral(":/i18n"), user)) {
        shownLanguage() = ours->language();
    }
}

QString language() {
    return shownLanguage();
}

} // namespace Translations
