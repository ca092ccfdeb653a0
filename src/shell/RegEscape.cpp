#include "shell/RegEscape.h"

namespace mv::shell {

namespace {

QString hexEscape(char kind, char16_t code, int digits)
{
    return QStringLiteral("\\") + QLatin1Char(kind) +
           QString::number(code, 16).rightJustified(digits, QLatin1Char('0'));
}

int hexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

bool readHex(QStringView line, qsizetype from, int digits, char16_t* out)
{
    if (from + digits > line.size())
        return false;
    char16_t v = 0;
    for (qsizetype i = from; i < from + digits; ++i) {
        const int d = hexDigit(line.at(i).unicode());
        if (d < 0)
            return false;
        v = char16_t(v * 16 + d);
    }
    *out = v;
    return true;
}

} // namespace

QString quoteRegString(const QString& text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8 + 2);
    out += QLatin1Char('"');
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c == u'\\' || c == u'"') {
            out += QLatin1Char('\\');
            out += QChar(c);
        } else if (c == u'\n') {
            out += QLatin1String("\\n");
        } else if (c == u'\r') {
            out += QLatin1String("\\r");
        } else if (c < 0x20 || c == 0x7f) {
            out += hexEscape('x', c, 2);
        } else if (QChar::isHighSurrogate(c) && i + 1 < n &&
                   QChar::isLowSurrogate(text.at(i + 1).unicode())) {
            out += QChar(c);
            out += text.at(++i);
        } else if (QChar::isSurrogate(c)) {
            out += hexEscape('u', c, 4); // UTF-8 can't carry it
        } else {
            out += QChar(c);
        }
    }
    out += QLatin1Char('"');
    return out;
}

bool unquoteRegString(QStringView line, qsizetype* pos, QString* out)
{
    qsizetype i = *pos;
    if (i >= line.size() || line.at(i) != u'"')
        return false;
    out->clear();
    for (++i; i < line.size(); ++i) {
        const char16_t c = line.at(i).unicode();
        if (c == u'"') {
            *pos = i + 1;
            return true;
        }
        // A person may type a tab; other raw control characters mean a damaged file.
        if ((c < 0x20 && c != u'\t') || c == 0x7f)
            return false;
        if (c != u'\\') {
            out->append(QChar(c));
            continue;
        }
        if (++i >= line.size())
            return false;
        const char16_t e = line.at(i).unicode();
        char16_t code = 0;
        if (e == u'\\' || e == u'"') {
            out->append(QChar(e));
        } else if (e == u'n') {
            out->append(QLatin1Char('\n'));
        } else if (e == u'r') {
            out->append(QLatin1Char('\r'));
        } else if (e == u'x' && readHex(line, i + 1, 2, &code)) {
            out->append(QChar(code));
            i += 2;
        } else if (e == u'u' && readHex(line, i + 1, 4, &code)) {
            out->append(QChar(code));
            i += 4;
        } else {
            return false;
        }
    }
    return false;
}

} // namespace mv::shell
