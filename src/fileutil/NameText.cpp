#include "fileutil/NameText.h"

#include <QCoreApplication>
#include <QFile>

namespace mv::fileutil {
namespace {

constexpr char16_t kFirstCarried = 0xDC80;
constexpr char16_t kLastCarried = 0xDCFF;

bool between(unsigned char b, unsigned low, unsigned high)
{
    return b >= low && b <= high;
}

// The length of the valid UTF-8 sequence at `at`, or 0 when the byte there starts none:
// no overlong forms, no surrogates, nothing above U+10FFFF.
qsizetype sequenceAt(const QByteArray& bytes, qsizetype at)
{
    const auto byte = [&](qsizetype i) { return i < bytes.size() ? uchar(bytes[i]) : 0u; };
    const unsigned lead = byte(at);
    const auto tail = [&](qsizetype from, qsizetype count) {
        for (qsizetype i = from; i < at + count; ++i)
            if (!between(uchar(byte(i)), 0x80, 0xBF))
                return false;
        return true;
    };
    if (lead < 0x80)
        return 1;
    if (between(uchar(lead), 0xC2, 0xDF))
        return tail(at + 1, 2) ? 2 : 0;
    unsigned low = 0x80, high = 0xBF;
    qsizetype length = 0;
    if (between(uchar(lead), 0xE0, 0xEF)) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (between(uchar(lead), 0xF0, 0xF4)) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    return between(uchar(byte(at + 1)), low, high) && tail(at + 2, length) ? length : 0;
}

bool isCarriedByte(const QString& name, qsizetype i)
{
    const char16_t c = name[i].unicode();
    // A low surrogate right after a high one is half of a real character, not a byte.
    return c >= kFirstCarried && c <= kLastCarried && !(i > 0 && name[i - 1].isHighSurrogate());
}

} // namespace

bool isRepresentable(const QByteArray& nativeName)
{
    return QFile::encodeName(QFile::decodeName(nativeName)) == nativeName;
}

QString nameFromNative(const QByteArray& native)
{
    if (isRepresentable(native))
        return QFile::decodeName(native);
    QString name;
    for (qsizetype at = 0; at < native.size();) {
        const qsizetype length = sequenceAt(native, at);
        if (length == 0) {
            name += QChar(char16_t(0xDC00 + uchar(native[at])));
            ++at;
        } else {
            name += QString::fromUtf8(native.constData() + at, length);
            at += length;
        }
    }
    return name;
}

QByteArray nativeName(const QString& name)
{
    if (isTextName(name))
        return QFile::encodeName(name);
    QByteArray native;
    qsizetype textFrom = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!isCarriedByte(name, i))
            continue;
        native += QStringView(name).mid(textFrom, i - textFrom).toUtf8();
        native += char(name[i].unicode() - 0xDC00);
        textFrom = i + 1;
    }
    return native + QStringView(name).mid(textFrom).toUtf8();
}

bool isTextName(const QString& name)
{
    for (qsizetype i = 0; i < name.size(); ++i)
        if (isCarriedByte(name, i))
            return false;
    return true;
}

QString printableName(const QByteArray& native)
{
    return printableName(nameFromNative(native));
}

QString printableName(const QString& name)
{
    const auto escaped = [](unsigned value) {
        return QCoreApplication::translate("mv::crypto", "\\x%1").arg(value, 2, 16, QLatin1Char('0'));
    };
    QString shown;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        if (isCarriedByte(name, i))
            shown += escaped(c - 0xDC00u);
        else if (c < 0x20 || c == 0x7f)
            shown += escaped(c);
        else
            shown += name[i];
    }
    return shown;
}

} // namespace mv::fileutil
