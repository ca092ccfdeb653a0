#include "secured/ArgumentSplit.h"

namespace mv::secured {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

fileutil::FileResult openQuote(char16_t quote)
{
    const QString reason = quote == u'\''
                               ? QCoreApplication::translate("mv::secured", "a single quote is not closed")
                               : QCoreApplication::translate("mv::secured", "a double quote is not closed");
    return fileutil::failureOf(QCoreApplication::translate("mv::secured", "read the parameters"), reason);
}

} // namespace

SplitArguments splitArguments(const QString& params)
{
    SplitArguments out;
    QString word;
    bool inWord = false; // a quote pair makes a word even when it is empty
    const qsizetype n = params.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = params.at(i);
        if (isBlank(c)) {
            if (inWord)
                out.arguments << word;
            word.clear();
            inWord = false;
        } else if (c == u'\\') {
            if (i + 1 >= n) {
                word += c; // a backslash at the very end stands for itself
                inWord = true;
            } else if (params.at(i + 1) == u'\n') {
                ++i; // joins the lines
            } else {
                word += params.at(++i);
                inWord = true;
            }
        } else if (c == u'\'') {
            const qsizetype close = params.indexOf(u'\'', i + 1);
            if (close < 0) {
                out.status = openQuote(u'\'');
                out.arguments.clear();
                return out;
            }
            word += params.mid(i + 1, close - i - 1);
            i = close;
            inWord = true;
        } else if (c == u'"') {
            qsizetype j = i + 1;
            for (; j < n && params.at(j) != u'"'; ++j) {
                const QChar d = params.at(j);
                if (d == u'\\' && j + 1 < n) {
                    const QChar next = params.at(j + 1);
                    if (next == u'$' || next == u'`' || next == u'"' || next == u'\\') {
                        word += next;
                        ++j;
                        continue;
                    }
                    if (next == u'\n') {
                        ++j;
                        continue;
                    }
                }
                word += d;
            }
            if (j >= n) {
                out.status = openQuote(u'"');
                out.arguments.clear();
                return out;
            }
            i = j;
            inWord = true;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        out.arguments << word;
    return out;
}

} // namespace mv::secured
