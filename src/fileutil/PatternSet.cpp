#include "fileutil/PatternSet.h"

#include <QVarLengthArray>

#include <algorithm>

namespace mv::fileutil {
namespace {

constexpr QChar kStar = QLatin1Char('*');
constexpr QChar kAny = QLatin1Char('?');

char16_t foldUnit(char16_t unit)
{
    if (unit < 0x80)
        return unit >= u'A' && unit <= u'Z' ? char16_t(unit + (u'a' - u'A')) : unit;
    return QChar(unit).toCaseFolded().unicode();
}

bool hasWildcard(QStringView text)
{
    return text.contains(kStar) || text.contains(kAny);
}

} // namespace

QString foldedName(QStringView name)
{
    QString folded(name.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(folded.data());
    for (qsizetype i = 0; i < name.size(); ++i)
        out[i] = foldUnit(name[i].unicode());
    return folded;
}

bool wildcardMatch(QStringView pattern, QStringView name)
{
    // Greedy scan that returns to the last "*" on a mismatch: linear for the usual patterns and
    // never worse than pattern length times name length.
    qsizetype p = 0;
    qsizetype n = 0;
    qsizetype starAt = -1;
    qsizetype resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == kStar) {
            starAt = p++;
            resumeAt = n;
        } else if (p < pattern.size() && (pattern[p] == kAny || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (starAt >= 0) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == kStar)
        ++p;
    return p == pattern.size();
}

PatternSet::PatternSet(const QString& patternList)
{
    QSet<QString> seen;
    for (const QString& pattern : patternList.split(QLatin1Char(';'))) {
        if (pattern.isEmpty() || seen.contains(pattern))
            continue;
        seen.insert(pattern);
        add(foldedName(pattern));
    }
    std::sort(suffixLengths_.begin(), suffixLengths_.end());
}

void PatternSet::add(const QString& pattern)
{
    // "name.*" stands for "name" followed by a dot and anything, or by nothing at all.
    if (pattern.endsWith(QLatin1String(".*")) && pattern.size() > 2)
        add(pattern.chopped(2));
    if (pattern.count(kStar) == pattern.size()) {
        all_ = true;
        return;
    }
    const QStringView rest = QStringView(pattern).mid(1);
    if (pattern.front() == kStar && !hasWildcard(rest)) {
        suffixes_.insert(rest.toString());
        if (!suffixLengths_.contains(rest.size()))
            suffixLengths_.append(rest.size());
        longestSuffix_ = std::max(longestSuffix_, rest.size());
    } else if (!hasWildcard(pattern)) {
        wholeNames_.insert(pattern);
    } else if (!wildcards_.contains(pattern)) {
        wildcards_.append(pattern);
    }
}

bool PatternSet::matches(QStringView name) const
{
    if (all_)
        return true;
    if (name.isEmpty())
        return false;
    if (!wholeNames_.isEmpty() || !wildcards_.isEmpty()) {
        const QString folded = foldedName(name);
        if (wholeNames_.contains(folded) || matchesWildcards(folded))
            return true;
    }
    if (suffixLengths_.isEmpty())
        return false;
    // Fold only the end of the name that a suffix can reach, on the stack.
    const qsizetype reach = std::min(longestSuffix_, name.size());
    QVarLengthArray<char16_t, 32> tail(reach);
    const QStringView end = name.right(reach);
    for (qsizetype i = 0; i < reach; ++i)
        tail[i] = foldUnit(end[i].unicode());
    for (const qsizetype length : suffixLengths_) {
        if (length > reach)
            break;
        const QString key =
            QString::fromRawData(reinterpret_cast<const QChar*>(tail.data() + reach - length), length);
        if (suffixes_.contains(key))
            return true;
    }
    return false;
}

bool PatternSet::matchesWildcards(QStringView foldedName) const
{
    return std::any_of(wildcards_.begin(), wildcards_.end(),
                       [&](const QString& pattern) { return wildcardMatch(pattern, foldedName); });
}

} // namespace mv::fileutil
