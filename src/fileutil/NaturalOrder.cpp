#include "fileutil/NaturalOrder.h"

#include <QLocale>

#include <algorithm>
#include <vector>

namespace mv::fileutil {

QCollator naturalCollator()
{
    QLocale locale = QLocale::system();
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QCollator collator(locale);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setIgnorePunctuation(false);
    return collator;
}

namespace {

// A tab is the first character of the common collation order, and it is all but unknown in
// file names; standing in for the dots, it puts them first. `buffer` is reused between names
// so that a large folder costs no extra allocation per name.
QCollatorSortKey dotsFirstKey(const QCollator& collator, const QString& name, QString& buffer)
{
    if (!name.contains(QLatin1Char('.')))
        return collator.sortKey(name);
    buffer.resize(name.size());
    QChar* out = buffer.data();
    for (const QChar c : name)
        *out++ = c == QLatin1Char('.') ? QLatin1Char('\t') : c;
    return collator.sortKey(buffer);
}

} // namespace

void sortNaturally(QStringList& names)
{
    if (names.size() < 2)
        return;
    const QCollator collator = naturalCollator();
    // One key per name, then byte comparisons: far cheaper than collating pairs of names.
    struct Keyed {
        QCollatorSortKey key;
        qsizetype index;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(std::size_t(names.size()));
    QString buffer;
    for (qsizetype i = 0; i < names.size(); ++i)
        keyed.push_back({dotsFirstKey(collator, names.at(i), buffer), i});
    std::sort(keyed.begin(), keyed.end(), [&](const Keyed& a, const Keyed& b) {
        const int order = a.key.compare(b.key);
        return order != 0 ? order < 0 : names.at(a.index) < names.at(b.index);
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (const Keyed& k : keyed)
        sorted.append(names.at(k.index));
    names = std::move(sorted);
}

} // namespace mv::fileutil
