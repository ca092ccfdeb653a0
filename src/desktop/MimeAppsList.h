// The user's default applications as the desktop keeps them in mimeapps.list.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace mv::desktop {

// The text of a mimeapps.list: groups ("[Default Applications]") of lines
// "type=one.desktop;other.desktop;". An edit touches only the one line it is about: every other
// byte, comments, blank lines, other groups, other programs' entries and the line ends, stays
// as it was, so the file a desktop wrote goes through our changes and back unchanged.
class MimeAppsList {
public:
    static inline const QString kDefaultApplications = QStringLiteral("Default Applications");
    // The programs a type opens with beyond those whose desktop entries name the type.
    static inline const QString kAddedAssociations = QStringLiteral("Added Associations");

    explicit MimeAppsList(QByteArray text = {}) : text_(std::move(text)) {}

    const QByteArray& text() const { return text_; }

    // The value of `key` (a MIME type; case ignored) in `group` as the desktop reads it: the
    // last such line wins. Empty when there is none.
    QString value(const QString& group, const QString& key) const;
    // The keys of the group's lines, each once, in the order they first appear.
    QStringList keys(const QString& group) const;
    // Changes the value of that line, or adds a line to the group (the group at the end when
    // the file has none).
    void setValue(const QString& group, const QString& key, const QString& value);
    // Removes that line; false when there was none.
    bool removeLine(const QString& group, const QString& key);

private:
    struct Found {
        qsizetype lineStart = -1; // the line that gives the value
        qsizetype valueStart = -1;
        qsizetype contentEnd = -1; // before the line end
        qsizetype nextLine = -1;   // after the line end
        qsizetype groupEnd = -1;   // after the last non-blank line of the last such group
        bool groupSeen = false;
    };
    Found find(const QString& group, const QString& key) const;

    QByteArray text_;
};

} // namespace mv::desktop
