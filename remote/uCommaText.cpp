#include "remote/uCommaText.h"

namespace {
bool needsQuotes(const QString& line) {
    for (const QChar c : line) {
        const char16_t u = c.unicode();
        if (u == '"' || u == ',' || (u >= 1 && u <= 32)) return true;
    }
    return false;
}
} // namespace

QString CommaText(const QStringList& lines) {
    if (lines.size() == 1 && lines.front().isEmpty()) return QStringLiteral("\"\"");
    QString text;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i) text += u',';
        const QString& line = lines.at(i);
        if (needsQuotes(line)) {
            QString quoted = line;
            quoted.replace(u'"', QStringLiteral("\"\""));
            text += u'"' + quoted + u'"';
        } else {
            text += line;
        }
    }
    return text;
}

QStringList SplitCommaText(const QString& text) {
    QStringList lines;
    if (text.isEmpty()) return lines;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (true) {
        QString item;
        if (i < n && text.at(i) == u'"') {
            ++i;
            while (i < n) {
                if (text.at(i) == u'"') {
                    if (i + 1 < n && text.at(i + 1) == u'"') {
                        item += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += text.at(i++);
            }
            // Anything between the closing quote and the next comma belongs to the item as well.
            while (i < n && text.at(i) != u',') item += text.at(i++);
        } else {
            while (i < n && text.at(i) != u',') item += text.at(i++);
        }
        lines.append(item);
        if (i >= n) break;
        ++i; // the comma
    }
    return lines;
}

QString ValueOfLine(const QStringList& lines, const QString& name, bool* found) {
    const QString prefix = name + u'=';
    for (const QString& line : lines) {
        if (line.startsWith(prefix)) {
            if (found) *found = true;
            return line.mid(prefix.size());
        }
    }
    if (found) *found = false;
    return {};
}
