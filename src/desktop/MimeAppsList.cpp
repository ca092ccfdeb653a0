#include "desktop/MimeAppsList.h"

namespace mv::desktop {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

MimeAppsList::Found MimeAppsList::find(const QString& group, const QString& key) const
{
    Found found;
    bool inGroup = false;
    qsizetype pos = 0;
    while (pos < text_.size()) {
        qsizetype end = text_.indexOf('\n', pos);
        const qsizetype next = end < 0 ? text_.size() : end + 1;
        if (end < 0)
            end = text_.size();
        qsizetype contentEnd = end;
        if (contentEnd > pos && text_[contentEnd - 1] == '\r')
            --contentEnd;
        const QByteArray line = text_.mid(pos, contentEnd - pos);
        const QByteArray trimmed = line.trimmed();
        if (trimmed.startsWith('[') && trimmed.endsWith(']')) {
            inGroup = QString::fromUtf8(trimmed.mid(1, trimmed.size() - 2)) == group;
            if (inGroup) {
                found.groupSeen = true;
                found.groupEnd = next;
            }
        } else if (inGroup && !trimmed.isEmpty()) {
            found.groupEnd = next;
            const qsizetype eq = line.indexOf('=');
            if (!trimmed.startsWith('#') && eq > 0 &&
                QString::fromUtf8(line.left(eq).trimmed()).compare(key, Qt::CaseInsensitive) == 0) {
                found.lineStart = pos;
                found.valueStart = pos + eq + 1;
                found.contentEnd = contentEnd;
                found.nextLine = next;
            }
        }
        pos = next;
    }
    return found;
}

QString MimeAppsList::value(const QString& group, const QString& key) const
{
    const Found f = find(group, key);
    if (f.lineStart < 0)
        return {};
    return QString::fromUtf8(text_.mid(f.valueStart, f.contentEnd - f.valueStart).trimmed());
}

QStringList MimeAppsList::keys(const QString& group) const
{
    QStringList keys;
    bool inGroup = false;
    for (const QByteArray& line : text_.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.startsWith('[') && trimmed.endsWith(']')) {
            inGroup = QString::fromUtf8(trimmed.mid(1, trimmed.size() - 2)) == group;
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (!inGroup || trimmed.startsWith('#') || eq <= 0)
            continue;
        const QString key = QString::fromUtf8(line.left(eq).trimmed());
        if (!key.isEmpty() && !keys.contains(key, Qt::CaseInsensitive))
            keys << key;
    }
    return keys;
}

void MimeAppsList::setValue(const QString& group, const QString& key, const QString& value)
{
    const Found f = find(group, key);
    const QByteArray bytes = value.toUtf8();
    if (f.lineStart >= 0) {
        // Only the value itself changes: the blanks around it ("type = a.desktop;") are the
        // writer's style and stay as they were.
        qsizetype start = f.valueStart;
        qsizetype end = f.contentEnd;
        while (start < end && isBlank(text_[start]))
            ++start;
        while (end > start && isBlank(text_[end - 1]))
            --end;
        text_.replace(start, end - start, bytes);
        return;
    }
    const QByteArray line = key.toUtf8() + '=' + bytes + '\n';
    if (f.groupSeen) {
        QByteArray insert = line;
        // The group's last line may be the file's last, without a line end.
        if (f.groupEnd > 0 && text_[f.groupEnd - 1] != '\n')
            insert.prepend('\n');
        text_.insert(f.groupEnd, insert);
        return;
    }
    if (!text_.isEmpty() && !text_.endsWith('\n'))
        text_ += '\n';
    if (!text_.isEmpty() && !text_.endsWith("\n\n"))
        text_ += '\n';
    text_ += '[' + group.toUtf8() + "]\n" + line;
}

bool MimeAppsList::removeLine(const QString& group, const QString& key)
{
    const Found f = find(group, key);
    if (f.lineStart < 0)
        return false;
    text_.remove(f.lineStart, f.nextLine - f.lineStart);
    return true;
}

} // namespace mv::desktop
