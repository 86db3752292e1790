#pragma once
// Typed text as the input checks take it: without leading and trailing characters of code 32 or
// below (blanks, tabs, line breaks, other control characters).
#include <QString>

inline QString TrimInput(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 32) ++begin;
    while (end > begin && text[end - 1].unicode() <= 32) --end;
    return text.mid(begin, end - begin);
}
