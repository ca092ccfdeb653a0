#pragma once

#include <QString>

namespace mv::shell {

// Settings are stored as text: truth values as "True"/"False", numbers in decimal.
// Readers take a default, used when the text is absent, empty or not understood.

QString boolSettingText(bool value);
QString intSettingText(qint64 value);

// "True"/"False" in any case; a number counts as true unless it is 0, so a store that holds
// -1 for True reads as true.
bool settingBool(const QString& text, bool defaultValue);
int settingInt(const QString& text, int defaultValue);
qint64 settingInt64(const QString& text, qint64 defaultValue);

} // namespace mv::shell
