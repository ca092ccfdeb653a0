#include "i18n/Language.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QTranslator>

namespace mv::i18n {

namespace {

// "de_DE.UTF-8@euro" -> "de".
QString languageOf(const QByteArray& locale)
{
    QString name = QString::fromLatin1(locale);
    for (const QChar end : {u'_', u'.', u'@'})
        name = name.section(end, 0, 0);
    return name.toLower();
}

QString catalogue(const QString& language)
{
    return QStringLiteral(":/i18n/mirravelnock_%1.qm").arg(language);
}

bool haveCatalogue(const QString& language)
{
    return !language.isEmpty() && QFile::exists(catalogue(language));
}

} // namespace

QString chooseLanguage(const std::function<QByteArray(const char*)>& env)
{
    // As gettext reads it: a LANGUAGE list decides alone; its first entry that is English or a
    // language we have wins, others are passed over, and with none of them the texts stay
    // English. (Unlike gettext, it counts under the C locale too: LANGUAGE=de is German.)
    if (const QByteArray list = env("LANGUAGE"); !list.isEmpty()) {
        for (const QByteArray& entry : list.split(':')) {
            const QString language = languageOf(entry);
            if (language == u"en")
                return {};
            if (haveCatalogue(language))
                return language;
        }
        return {};
    }
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QByteArray locale = env(name);
        if (locale.isEmpty())
            continue;
        const QString language = languageOf(locale);
        return haveCatalogue(language) ? language : QString();
    }
    return {};
}

QString userLanguage()
{
    return chooseLanguage([](const char* name) { return qgetenv(name); });
}

bool installTranslators(QCoreApplication& app, const QString& language)
{
    if (language.isEmpty())
        return true;
    auto* qt = new QTranslator(&app);
    if (qt->load(QStringLiteral("qtbase_") + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
    auto* own = new QTranslator(&app);
    if (!own->load(catalogue(language))) {
        delete own;
        return false;
    }
    QCoreApplication::installTranslator(own);
    return true;
}

} // namespace mv::i18n
