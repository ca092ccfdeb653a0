#pragma once

#include "shell/SettingChange.h"

#include <QString>

#include <vector>

namespace mv::shell {

// What SaveSettings needs to know of the main window, taken on the user-interface thread.
struct WindowSnapshot {
    enum State {
        Normal = 0,
        Minimized = 1,
        Maximized = 2,
    };
    int state = Normal;
    // The window's own position and size, without the desktop's frame, in twips. Where the
    // platform places windows itself (Wayland) the position is not known, and the stored one
    // is left alone.
    bool positionKnown = true;
    qint64 top = 0;
    qint64 left = 0;
    qint64 width = 0;
    qint64 height = 0;
    QString folder;    // the folder list's current folder
    QString filterTag; // the type filter's tag: an entry index or a typed pattern list
    int dither = 0;
    int dct = 0;
    int jpegDither = 0;
    int zoomIndex = 12; // first checked zoom item 0..11, or 12 when none is checked
    bool fancyUpsampling = false;
    bool twoPassQuantize = false;
};

// The writes of SaveSettings, in order: the geometry by window state (minimized: none;
// maximized: only "State" = "2", so the last normal position and size survive; normal:
// "Top", "Left" (when the position is known), "Height", "Width", then "State" = "0"), then "Last Dir",
// "Spec", "Dither", "DCT", "JPEGDither", "Zoom", "FancyUpsampling" and "TwoPassQuantize".
//
// The caller saves nothing while the window is still loading its stored settings (the
// option commands it runs then would write back half-applied values) and nothing at all in
// a second instance, which leaves the settings to the first copy.
std::vector<SettingChange> saveSettingsWrites(const WindowSnapshot& window);

// A stored "Spec" read back: a type filter entry, a typed pattern list, or nothing stored.
struct StoredSpec {
    enum class Kind {
        Absent,
        Entry,
        Patterns,
    };
    Kind kind = Kind::Absent;
    int entry = -1;   // Kind::Entry: the type filter index; the caller checks its range
    QString patterns; // Kind::Patterns: the text as stored
};

// An entry index is a whole number, blanks around it allowed, "0" included; any other text
// is a typed pattern list (as "*.jpg;*.png" or "3*.tga" is).
StoredSpec parseStoredSpec(const QString& text);

} // namespace mv::shell
