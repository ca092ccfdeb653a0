// The decoder fixtures: small files in tests/imaging/fixtures, each row of its MANIFEST naming a
// decoder, a file (cut, patched or lengthened there, so that one good file gives every damaged
// one) and what the decoder must make of it, in the few words outcome() writes.
#pragma once

#include "imaging/base/DecodeResult.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QString>
#include <QStringList>

#include <string>

namespace mv::imaging::test {

// "<width>x<height> <depth>-bit opaque|alpha <pixels>" for a picture, <pixels> being the start of
// the SHA-1 of its pixels as ARGB32, top row first; "vector <width>x<height> <depth>-bit" for a
// drawing; "refused: <reason>" for a failure, which must carry no picture.
inline std::string outcome(const DecodeResult& r)
{
    if (!r.ok())
        return (r.image.isNull() && !r.drawing ? "refused: " : "refused with a picture: ") + r.status.reason;
    const std::string size = std::to_string(r.width) + "x" + std::to_string(r.height) + " " +
                             std::to_string(r.colorDepth) + "-bit";
    if (r.drawing)
        return "vector " + size;
    const QImage argb = r.image.convertToFormat(QImage::Format_ARGB32);
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (int y = 0; y < argb.height(); ++y)
        hash.addData(QByteArrayView(argb.constScanLine(y), qsizetype(argb.width()) * 4));
    return std::to_string(argb.width()) + "x" + std::to_string(argb.height()) + " " +
           std::to_string(r.colorDepth) + "-bit " + (r.image.hasAlphaChannel() ? "alpha" : "opaque") + " " +
           hash.result().toHex().left(16).toStdString();
}

// A fixture file with its edits applied in order: "name", then any of "cut=<length>",
// "set=<offset>:<hex byte>", "add=<hex bytes>" and "ins=<offset>:<hex bytes>*<count>" (a flood
// of records, too large to keep whole), space-separated; "-" is no file at all.
inline QByteArray fixtureBytes(const QString& dir, const QString& spec)
{
    const QStringList parts = spec.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.isEmpty() || parts[0] == QLatin1String("-"))
        return {};
    QFile file(dir + QLatin1Char('/') + parts[0]);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArrayLiteral("missing fixture file");
    QByteArray bytes = file.readAll();
    for (const QString& edit : parts.mid(1)) {
        const QString value = edit.section(QLatin1Char('='), 1);
        if (edit.startsWith(QLatin1String("cut=")))
            bytes.truncate(value.toLongLong());
        else if (edit.startsWith(QLatin1String("set=")))
            bytes[value.section(QLatin1Char(':'), 0, 0).toLongLong()] =
                char(value.section(QLatin1Char(':'), 1).toInt(nullptr, 16));
        else if (edit.startsWith(QLatin1String("add=")))
            bytes += QByteArray::fromHex(value.toLatin1());
        else if (edit.startsWith(QLatin1String("ins=")))
            bytes.insert(value.section(QLatin1Char(':'), 0, 0).toLongLong(),
                         QByteArray::fromHex(
                             value.section(QLatin1Char(':'), 1).section(QLatin1Char('*'), 0, 0).toLatin1())
                             .repeated(value.section(QLatin1Char('*'), 1).toLongLong()));
    }
    return bytes;
}

#ifdef MV_FIXTURES
// A file of tests/imaging/fixtures, with its edits applied.
inline QByteArray fixture(const QString& spec)
{
    return fixtureBytes(QStringLiteral(MV_FIXTURES), spec);
}
#endif

} // namespace mv::imaging::test
