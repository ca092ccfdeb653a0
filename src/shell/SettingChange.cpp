#include "shell/SettingChange.h"

#include "shell/RegDocument.h"

#include <array>

namespace mv::shell {

bool applySettingChanges(RegDocument& doc, const QString& keyPath, const std::vector<SettingChange>& changes)
{
    bool changed = false;
    for (const SettingChange& c : changes) {
        const QString name = settingInfo(c.which).name;
        const RegValue* old = doc.findValue(keyPath, name);
        switch (c.op) {
        case SettingChange::Op::Set:
            if (old && old->isString && old->text == c.text)
                break;
            doc.setValue(keyPath, RegValue {name, true, c.text});
            changed = true;
            break;
        case SettingChange::Op::RemoveIfEquals:
            if (!old || !old->isString || old->text != c.text)
                break;
            [[fallthrough]];
        case SettingChange::Op::Remove: changed = doc.removeValue(keyPath, name) || changed; break;
        }
    }
    return changed;
}

std::vector<size_t> stillNeededChanges(const std::vector<SettingChange>& changes)
{
    // Walking back from the newest change: a conditional removal after a value's last plain
    // change still depends on that change, so both stay.
    std::array<bool, kSettingCount> settled {};
    std::vector<size_t> needed;
    for (size_t i = changes.size(); i-- > 0;) {
        const SettingChange& c = changes[i];
        if (settled[size_t(c.which)])
            continue;
        needed.insert(needed.begin(), i);
        if (c.op != SettingChange::Op::RemoveIfEquals)
            settled[size_t(c.which)] = true;
    }
    return needed;
}

} // namespace mv::shell
