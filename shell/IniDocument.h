#pragma once
// A plain INI text as the program keeps it: "[section]" lines and "key=value" lines, values taken
// verbatim (everything after the first '=' up to the line end, surrounding blanks trimmed; no quoting,
// no escapes), section and key names matched without regard to letter case.
//
// Every line is kept as the bytes it was read from: only a line whose value is set anew, and the lines
// added for a new key or section, are written from text. So comments, blank lines, other sections and
// keys, line ends (CRLF or LF) and bytes that are not valid text come back exactly as they were. The
// encoding is the one the byte-order mark shows (UTF-8 with or without the mark, UTF-16 LE or BE with
// it); a text without a mark is UTF-8, and a new document is UTF-8 without a mark.
#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

class IniDocument {
public:
    enum class Encoding { Utf8, Utf8WithMark, Utf16LE, Utf16BE };

    IniDocument() = default;
    static IniDocument fromBytes(const QByteArray& bytes);
    QByteArray toBytes() const;

    Encoding encoding() const { return m_encoding; }

    // The value of the first `key` in a section named `section`; nullopt when there is none.
    std::optional<QString> value(const QString& section, const QString& key) const;
    // Replaces the value of that key, or adds the key at the end of the first such section, or adds
    // the section at the end of the text. `value` must not hold a line break (a line could not keep it).
    void setValue(const QString& section, const QString& key, const QString& value);

private:
    struct Line {
        QByteArray bytes; // as read or as written, line end included
        QString text;     // decoded, without the line end
        QString ending;   // "\r\n", "\n" or empty (the last line of a text without a final line end)
    };
    enum class Kind { Other, Section, Entry };
    struct Parsed {
        Kind kind = Kind::Other;
        QString name; // section or key name, trimmed
        QString value;
    };
    static Parsed parse(const QString& text);
    QByteArray encode(const QString& text) const;
    Line makeLine(const QString& text, const QString& ending) const;
    QString newLineEnding() const;

    Encoding m_encoding = Encoding::Utf8;
    QByteArray m_mark; // the byte-order mark as read
    QList<Line> m_lines;
    QByteArray m_tail; // a last odd byte of a UTF-16 text, kept as it was
};
