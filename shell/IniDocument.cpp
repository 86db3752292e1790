#include "shell/IniDocument.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <stdexcept>

namespace {
QStringConverter::Encoding converterOf(IniDocument::Encoding encoding) {
    switch (encoding) {
    case IniDocument::Encoding::Utf16LE: return QStringConverter::Utf16LE;
    case IniDocument::Encoding::Utf16BE: return QStringConverter::Utf16BE;
    case IniDocument::Encoding::Utf8:
    case IniDocument::Encoding::Utf8WithMark: break;
    }
    return QStringConverter::Utf8;
}

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

QString trimBlanks(QStringView text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    return text.sliced(begin, end - begin).toString();
}

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }
} // namespace

IniDocument IniDocument::fromBytes(const QByteArray& bytes) {
    IniDocument document;
    qsizetype start = 0;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        document.m_encoding = Encoding::Utf8WithMark;
        start = 3;
    } else if (bytes.startsWith("\xFF\xFE")) {
        document.m_encoding = Encoding::Utf16LE;
        start = 2;
    } else if (bytes.startsWith("\xFE\xFF")) {
        document.m_encoding = Encoding::Utf16BE;
        start = 2;
    }
    document.m_mark = bytes.left(start);

    const bool wide = document.m_encoding == Encoding::Utf16LE || document.m_encoding == Encoding::Utf16BE;
    const qsizetype unit = wide ? 2 : 1;
    const qsizetype end = start + (bytes.size() - start) / unit * unit;
    document.m_tail = bytes.mid(end);
    // The code unit at `at`: a line break is the unit 0x0A in every encoding, and it never occurs
    // inside a multi-unit character, so lines can be cut at the byte level.
    const auto unitAt = [&](qsizetype at) -> char16_t {
        if (!wide) return char16_t(quint8(bytes[at]));
        const auto first = quint8(bytes[at]), second = quint8(bytes[at + 1]);
        return document.m_encoding == Encoding::Utf16LE ? char16_t(first | second << 8) : char16_t(first << 8 | second);
    };
    const QStringConverter::Encoding converter = converterOf(document.m_encoding);
    qsizetype lineStart = start;
    for (qsizetype at = start; at < end; at += unit) {
        const bool last = at + unit >= end;
        if (unitAt(at) != u'\n' && !last) continue;
        const qsizetype lineEnd = at + unit;
        Line line;
        line.bytes = bytes.sliced(lineStart, lineEnd - lineStart);
        qsizetype textEnd = lineEnd;
        if (unitAt(at) == u'\n') {
            textEnd = at;
            line.ending = QStringLiteral("\n");
            if (textEnd - unit >= lineStart && unitAt(textEnd - unit) == u'\r') {
                textEnd -= unit;
                line.ending = QStringLiteral("\r\n");
            }
        }
        QStringDecoder decoder(converter, QStringConverter::Flag::Stateless);
        line.text = decoder.decode(bytes.sliced(lineStart, textEnd - lineStart));
        document.m_lines.append(std::move(line));
        lineStart = lineEnd;
    }
    return document;
}

QByteArray IniDocument::toBytes() const {
    QByteArray bytes = m_mark;
    for (const Line& line : m_lines) bytes += line.bytes;
    return bytes + m_tail;
}

QByteArray IniDocument::encode(const QString& text) const {
    QStringEncoder encoder(converterOf(m_encoding), QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

IniDocument::Line IniDocument::makeLine(const QString& text, const QString& ending) const {
    return {encode(text + ending), text, ending};
}

QString IniDocument::newLineEnding() const {
    for (const Line& line : m_lines)
        if (!line.ending.isEmpty()) return line.ending;
    return QStringLiteral("\n");
}

IniDocument::Parsed IniDocument::parse(const QString& text) {
    Parsed parsed;
    const QString trimmed = trimBlanks(text);
    if (trimmed.startsWith(u'[')) {
        const qsizetype close = trimmed.indexOf(u']');
        if (close > 0) {
            parsed.kind = Kind::Section;
            parsed.name = trimBlanks(QStringView(trimmed).sliced(1, close - 1));
        }
        return parsed;
    }
    if (trimmed.startsWith(u';') || trimmed.startsWith(u'#')) return parsed;
    const qsizetype equals = trimmed.indexOf(u'=');
    if (equals <= 0) return parsed;
    parsed.kind = Kind::Entry;
    parsed.name = trimBlanks(QStringView(trimmed).first(equals));
    parsed.value = trimBlanks(QStringView(trimmed).sliced(equals + 1));
    return parsed;
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const {
    bool inside = false;
    for (const Line& line : m_lines) {
        const Parsed parsed = parse(line.text);
        if (parsed.kind == Kind::Section)
            inside = sameName(parsed.name, section);
        else if (inside && parsed.kind == Kind::Entry && sameName(parsed.name, key))
            return parsed.value;
    }
    return std::nullopt;
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& value) {
    if (value.contains(u'\n') || value.contains(u'\r')) throw std::invalid_argument("value holds a line break");
    bool inside = false;
    qsizetype insertAt = -1; // after the last entry (or the header) of the first such section
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const Parsed parsed = parse(m_lines[i].text);
        if (parsed.kind == Kind::Section) {
            inside = sameName(parsed.name, section);
            if (inside && insertAt < 0)
                insertAt = i + 1;
            else if (!inside && insertAt >= 0)
                break;
        } else if (inside && parsed.kind == Kind::Entry) {
            if (sameName(parsed.name, key)) {
                // The key's own spelling and everything up to the '=' stay; the value follows it.
                const QString& text = m_lines[i].text;
                m_lines[i] = makeLine(text.first(text.indexOf(u'=') + 1) + value, m_lines[i].ending);
                return;
            }
            if (insertAt >= 0) insertAt = i + 1;
        }
    }
    // A last line without a line end gets one before anything is added after it.
    const auto closeLine = [this](qsizetype index) {
        Line& line = m_lines[index];
        if (!line.ending.isEmpty()) return;
        line.ending = newLineEnding();
        line.bytes += encode(line.ending);
    };
    if (insertAt >= 0) {
        if (insertAt == m_lines.size()) closeLine(insertAt - 1);
        m_lines.insert(insertAt, makeLine(key + u'=' + value, newLineEnding()));
        return;
    }
    if (!m_lines.isEmpty()) {
        closeLine(m_lines.size() - 1);
        if (!trimBlanks(m_lines.last().text).isEmpty()) m_lines.append(makeLine(QString(), newLineEnding()));
    }
    m_lines.append(makeLine(u'[' + section + u']', newLineEnding()));
    m_lines.append(makeLine(key + u'=' + value, newLineEnding()));
}
