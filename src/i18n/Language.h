#pragma once

#include <QString>

#include <functional>

class QCoreApplication;

namespace mv::i18n {

// The catalogue's language the user reads, from the environment as gettext reads it: the
// LANGUAGE list when it is set, else LC_ALL, LC_MESSAGES or LANG, the first one set. Empty for
// English, for the C locale and for a language the program has no catalogue of, so the
// program's own texts stay as they are.
QString chooseLanguage(const std::function<QByteArray(const char*)>& env);

// The language chooseLanguage() picks from this process's environment.
QString userLanguage();

// Installs the program's catalogue for `language` and Qt's own (the standard buttons), both
// owned by `app`. Does nothing for an empty language. False when the program's catalogue is
// missing; Qt's own is taken where its package installed it.
bool installTranslators(QCoreApplication& app, const QString& language);

} // namespace mv::i18n
