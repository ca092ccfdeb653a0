#include "shell/SettingsCatalogue.h"

#include "shell/RegDocument.h"
#include "shell/Registry.h"

#include <array>

namespace mv::shell {

namespace {

using namespace Qt::Literals::StringLiterals;

constexpr std::array<SettingInfo, kSettingCount> kCatalogue {{
    {Setting::Top, "Top"_L1, SettingKind::Number, {}},
    {Setting::Left, "Left"_L1, SettingKind::Number, {}},
    {Setting::Width, "Width"_L1, SettingKind::Number, {}},
    {Setting::Height, "Height"_L1, SettingKind::Number, {}},
    {Setting::State, "State"_L1, SettingKind::Number, "0"_L1},
    {Setting::LastDir, "Last Dir"_L1, SettingKind::Text, {}},
    {Setting::Spec, "Spec"_L1, SettingKind::Text, "1"_L1},
    {Setting::Dither, "Dither"_L1, SettingKind::Number, {}},
    {Setting::Dct, "DCT"_L1, SettingKind::Number, {}},
    {Setting::JpegDither, "JPEGDither"_L1, SettingKind::Number, {}},
    {Setting::Zoom, "Zoom"_L1, SettingKind::Number, "4"_L1},
    {Setting::FancyUpsampling, "FancyUpsampling"_L1, SettingKind::Truth, {}},
    {Setting::TwoPassQuantize, "TwoPassQuantize"_L1, SettingKind::Truth, {}},
    {Setting::ThumbSize, "ThumbSize"_L1, SettingKind::Number, "80"_L1},
    {Setting::AutoHide, "AutoHide"_L1, SettingKind::Truth, "False"_L1},
    {Setting::SafeDelete, "SafeDelete"_L1, SettingKind::Truth, "False"_L1},
    {Setting::ForgetKeysOnLock, "ForgetKeysOnLock"_L1, SettingKind::Truth, "True"_L1},
    {Setting::SlideshowInterval, "SlideshowInterval"_L1, SettingKind::Number, "4"_L1},
    {Setting::StartupImage, "StartupImage"_L1, SettingKind::Text, {}},
    {Setting::Hwnd, "hWnd"_L1, SettingKind::Number, {}},
}};

constexpr bool catalogueInOrder()
{
    for (int i = 0; i < kSettingCount; ++i) {
        if (int(kCatalogue[size_t(i)].id) != i)
            return false;
    }
    return true;
}
static_assert(catalogueInOrder(), "the catalogue is indexed by Setting");

} // namespace

const SettingInfo& settingInfo(Setting which)
{
    return kCatalogue[size_t(which)];
}

QString settingsKeyPath()
{
    const auto parts = RegDocument::splitKeyPath(kProductKey + u"Settings"_s);
    return parts ? parts->join(u'\\') : QString();
}

std::optional<qint64> settingNumber(const QString& text)
{
    bool ok = false;
    const qint64 n = text.trimmed().toLongLong(&ok, 10);
    return ok ? std::optional(n) : std::nullopt;
}

std::optional<bool> settingTruth(const QString& text)
{
    const QString t = text.trimmed();
    if (t.compare("True"_L1, Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare("False"_L1, Qt::CaseInsensitive) == 0)
        return false;
    if (const auto n = settingNumber(t))
        return *n != 0;
    return std::nullopt;
}

} // namespace mv::shell
