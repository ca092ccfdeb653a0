#pragma once

#include <QLatin1StringView>
#include <QString>

#include <optional>

namespace mv::shell {

// Every value of the "Settings" section under the product key, in one place: the stored
// name, what kind of text it holds and the default a reader falls back on.
enum class Setting {
    Top,
    Left,
    Width,
    Height,
    State,
    LastDir,
    Spec,
    Dither,
    Dct,
    JpegDither,
    Zoom,
    FancyUpsampling,
    TwoPassQuantize,
    ThumbSize,
    AutoHide,
    SafeDelete,
    ForgetKeysOnLock,
    SlideshowInterval,
    StartupImage,
    Hwnd,
};

inline constexpr int kSettingCount = int(Setting::Hwnd) + 1;

enum class SettingKind {
    Number, // decimal text
    Truth,  // "True" / "False"
    Text,
};

struct SettingInfo {
    Setting id;
    QLatin1StringView name; // as stored, e.g. "Last Dir"
    SettingKind kind;
    // The default as stored text; empty when the default belongs to someone else (the
    // window's designed geometry, the image control's own options, no folder yet).
    QLatin1StringView defaultText;
};

const SettingInfo& settingInfo(Setting which);

// The key that holds the section: the product key + "Settings", without a trailing '\'.
QString settingsKeyPath();

// Stored text read as its kind; absent, empty and anything not understood ("yes" for a
// truth value, "4x" for a number) give nothing. A truth value may also be a number, since a
// store may hold -1 for True; every number but 0 is true.
std::optional<qint64> settingNumber(const QString& text);
std::optional<bool> settingTruth(const QString& text);

} // namespace mv::shell
