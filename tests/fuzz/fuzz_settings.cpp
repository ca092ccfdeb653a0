// The settings store's file, which a damaged disk, an editor or another program may have left in
// any state: it is read or refused whole, and what is read is written back to the same values.
// A value saved as the program saves a setting, with any text at all, reads back as saved.
#include "FuzzCheck.h"
#include "shell/RegFormat.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

using namespace mv::shell;

// Every key's path and number of values, then each value's name, kind and text, in order.
QStringList valuesOf(const RegDocument& doc)
{
    QStringList out;
    for (const RegKey& key : doc.keys()) {
        out << key.path << QString::number(key.values.size());
        for (const RegValue& v : key.values)
            out << v.name << (v.isString ? QStringLiteral("string") : QStringLiteral("data")) << v.text;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    RegDocument doc;
    QString error;
    if (!parseRegText(bytes, &doc, &error)) {
        MV_FUZZ_CHECK(doc.keys().empty() && !error.isEmpty());
    } else {
        const QByteArray written = writeRegText(doc);
        RegDocument again;
        MV_FUZZ_CHECK(parseRegText(written, &again, &error));
        MV_FUZZ_CHECK(valuesOf(doc) == valuesOf(again));
        MV_FUZZ_CHECK(writeRegText(again) == written);
    }

    // The input's bytes as UTF-16, lone surrogates and control characters included: the first
    // few are a key path, when the store takes them for one, the next few name a value, the rest
    // is its text.
    QString any(qsizetype(size / sizeof(QChar)), Qt::Uninitialized);
    std::memcpy(any.data(), data, std::size_t(any.size()) * sizeof(QChar));
    const RegValue saved {any.mid(8, 8), true, any.mid(16)};
    const std::optional<QStringList> parts = RegDocument::splitKeyPath(any.left(8));
    const QString path = parts                ? parts->join(u'\\')
                         : doc.keys().empty() ? QStringLiteral("Software\\Fuzz")
                                              : doc.keys().back().path;
    doc.setValue(path, saved);
    RegDocument stored;
    MV_FUZZ_CHECK(parseRegText(writeRegText(doc), &stored, &error));
    const RegValue* read = stored.findValue(path, saved.name);
    MV_FUZZ_CHECK(read && read->isString && read->text == saved.text);
    return 0;
}
