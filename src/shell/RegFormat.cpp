#include "shell/RegFormat.h"

#include "shell/RegEscape.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringDecoder>

namespace mv::shell {

namespace {

bool isRawData(const QString& data)
{
    static const QRegularExpression re(
        QStringLiteral(
            "^(?:dword:[0-9a-f]{8}|hex(?:\\([0-9a-f]{1,8}\\))?:(?:[0-9a-f]{2}(?:,[0-9a-f]{2})*)?)$"),
        QRegularExpression::CaseInsensitiveOption);
    return re.match(data).hasMatch();
}

QString withoutSpaces(QString s)
{
    s.remove(QLatin1Char(' '));
    s.remove(QLatin1Char('\t'));
    return s;
}

class Parser {
public:
    Parser(const QStringList& lines, RegDocument* doc) : lines_(lines), doc_(doc) {}

    bool run(QString* error)
    {
        if (lines_.isEmpty() || lines_.first() != QLatin1String(kRegHeader))
            return fail(0, QCoreApplication::translate("mv::shell", "missing header"), error);
        for (line_ = 1; line_ < lines_.size(); ++line_) {
            const QString trimmed = lines_.at(line_).trimmed();
            QString why;
            if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')) ||
                trimmed.startsWith(QLatin1Char('#')))
                continue;
            const bool ok =
                trimmed.startsWith(QLatin1Char('[')) ? section(trimmed, &why) : value(trimmed, &why);
            if (!ok)
                return fail(line_, why, error);
        }
        return true;
    }

private:
    bool fail(qsizetype line, const QString& why, QString* error)
    {
        *error = QCoreApplication::translate("mv::shell", "line %1: %2").arg(line + 1).arg(why);
        return false;
    }

    bool section(const QString& line, QString* why)
    {
        if (!line.endsWith(QLatin1Char(']')) || line.size() < 3) {
            *why = QCoreApplication::translate("mv::shell", "bad section line");
            return false;
        }
        const auto parts = RegDocument::splitKeyPath(line.mid(1, line.size() - 2));
        if (!parts) {
            *why = QCoreApplication::translate("mv::shell", "bad key path");
            return false;
        }
        const QString path = parts->join(QLatin1Char('\\'));
        doc_->findOrAddKey(path);
        currentPath_ = path;
        return true;
    }

    bool value(const QString& line, QString* why)
    {
        RegValue v;
        qsizetype pos = 0;
        if (line.startsWith(QLatin1Char('@'))) {
            pos = 1;
        } else if (!unquoteRegString(line, &pos, &v.name)) {
            *why = QCoreApplication::translate("mv::shell", "neither a section nor a value");
            return false;
        }
        if (pos >= line.size() || line.at(pos) != QLatin1Char('=')) {
            *why = QCoreApplication::translate("mv::shell", "missing '=' after the value name");
            return false;
        }
        ++pos;
        if (pos < line.size() && line.at(pos) == QLatin1Char('"')) {
            if (!unquoteRegString(line, &pos, &v.text) || pos != line.size()) {
                *why = QCoreApplication::translate("mv::shell", "bad string value");
                return false;
            }
        } else if (!rawData(line.mid(pos), &v.text)) {
            *why = QCoreApplication::translate("mv::shell", "unknown value data");
            return false;
        } else {
            v.isString = false;
        }
        if (currentPath_.isEmpty()) {
            *why = QCoreApplication::translate("mv::shell", "value before any section");
            return false;
        }
        RegDocument::putValue(doc_->findOrAddKey(currentPath_), v);
        return true;
    }

    // Joins "hex:01,02,\" continuation lines, as regedit wraps long data.
    bool rawData(QString data, QString* out)
    {
        while (data.endsWith(QLatin1Char('\\'))) {
            data.chop(1);
            if (++line_ >= lines_.size())
                return false;
            data += lines_.at(line_).trimmed();
        }
        *out = withoutSpaces(data);
        return isRawData(*out);
    }

    const QStringList& lines_;
    RegDocument* doc_;
    qsizetype line_ = 0;
    QString currentPath_;
};

} // namespace

QByteArray writeRegText(const RegDocument& doc)
{
    QString out = QLatin1String(kRegHeader) + QLatin1String("\n\n");
    for (const RegKey& key : doc.keys()) {
        out += QLatin1Char('[') + key.path + QLatin1String("]\n");
        for (const RegValue& v : key.values) {
            out += v.name.isEmpty() ? QStringLiteral("@") : quoteRegString(v.name);
            out += QLatin1Char('=');
            out += v.isString ? quoteRegString(v.text) : v.text;
            out += QLatin1Char('\n');
        }
        out += QLatin1Char('\n');
    }
    return out.toUtf8();
}

bool parseRegText(const QByteArray& bytes, RegDocument* doc, QString* error)
{
    *doc = RegDocument();
    if (bytes.isEmpty())
        return true;
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        *error = QCoreApplication::translate("mv::shell", "not valid UTF-8");
        return false;
    }
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    Parser parser(lines, doc);
    if (parser.run(error))
        return true;
    *doc = RegDocument();
    return false;
}

} // namespace mv::shell
