// A ";"-separated list of file patterns, compiled once and then tested against many names.
//
// Matching follows the file search of the platform the patterns come from: case is ignored,
// "*" stands for any run of characters (none included) and "?" for exactly one. A pattern that
// ends in ".*" also matches the name without that part, so "*.*" matches every name, with or
// without a dot, and "photo.*" matches "photo". An empty pattern matches nothing, and a
// pattern given twice costs nothing extra.
#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringView>

namespace mv::fileutil {

class PatternSet {
public:
    explicit PatternSet(const QString& patternList);

    bool matches(QStringView name) const;

    // Every name matches ("*", "*.*" among the patterns).
    bool matchesEverything() const { return all_; }

private:
    void add(const QString& foldedPattern);
    bool matchesWildcards(QStringView foldedName) const;

    bool all_ = false;
    // The common patterns "*" + literal text ("*.jpg", "*_jpg.mv$"), found by the name's end.
    QSet<QString> suffixes_;
    QList<qsizetype> suffixLengths_; // the lengths in suffixes_, each once, ascending
    qsizetype longestSuffix_ = 0;
    QSet<QString> wholeNames_; // patterns without any wildcard
    QList<QString> wildcards_; // everything else, tested one by one
};

// The name with its case folded, one UTF-16 unit at a time: the form patterns are compared in.
QString foldedName(QStringView name);

// Whether `name` matches the one `pattern`, both already folded; "*" and "?" as above, with no
// special meaning for ".".
bool wildcardMatch(QStringView pattern, QStringView name);

} // namespace mv::fileutil
