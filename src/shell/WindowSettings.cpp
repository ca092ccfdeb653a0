#include "shell/WindowSettings.h"

namespace mv::shell {

namespace {

SettingChange set(Setting which, const QString& text)
{
    return {which, SettingChange::Op::Set, text};
}

SettingChange setNumber(Setting which, qint64 value)
{
    return set(which, QString::number(value));
}

SettingChange setTruth(Setting which, bool value)
{
    return set(which, value ? QStringLiteral("True") : QStringLiteral("False"));
}

} // namespace

std::vector<SettingChange> saveSettingsWrites(const WindowSnapshot& window)
{
    std::vector<SettingChange> writes;
    switch (window.state) {
    case WindowSnapshot::Minimized: break;
    case WindowSnapshot::Maximized: writes.push_back(setNumber(Setting::State, 2)); break;
    default:
        if (window.positionKnown) {
            writes.push_back(setNumber(Setting::Top, window.top));
            writes.push_back(setNumber(Setting::Left, window.left));
        }
        writes.push_back(setNumber(Setting::Height, window.height));
        writes.push_back(setNumber(Setting::Width, window.width));
        writes.push_back(setNumber(Setting::State, 0));
        break;
    }
    writes.push_back(set(Setting::LastDir, window.folder));
    writes.push_back(set(Setting::Spec, window.filterTag));
    writes.push_back(setNumber(Setting::Dither, window.dither));
    writes.push_back(setNumber(Setting::Dct, window.dct));
    writes.push_back(setNumber(Setting::JpegDither, window.jpegDither));
    const bool zoomChecked = window.zoomIndex >= 0 && window.zoomIndex <= 11;
    writes.push_back(setNumber(Setting::Zoom, zoomChecked ? window.zoomIndex : 12));
    writes.push_back(setTruth(Setting::FancyUpsampling, window.fancyUpsampling));
    writes.push_back(setTruth(Setting::TwoPassQuantize, window.twoPassQuantize));
    return writes;
}

StoredSpec parseStoredSpec(const QString& text)
{
    StoredSpec spec;
    const QString number = text.trimmed();
    if (number.isEmpty())
        return spec;
    bool digitsOnly = true;
    for (const QChar c : number)
        digitsOnly = digitsOnly && c >= u'0' && c <= u'9';
    bool ok = false;
    const int entry = number.toInt(&ok, 10);
    if (digitsOnly && ok) {
        spec.kind = StoredSpec::Kind::Entry;
        spec.entry = entry;
        return spec;
    }
    spec.kind = StoredSpec::Kind::Patterns;
    spec.patterns = text;
    return spec;
}

} // namespace mv::shell
