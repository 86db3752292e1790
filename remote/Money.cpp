#include "remote/Money.h"

#include <charconv>
#include <cmath>
#include <stdexcept>
#include <string>

std::optional<Money> Money::fromYuan(double yuan) {
    if (!std::isfinite(yuan) || std::fabs(yuan) >= MaxYuan) return std::nullopt;
    char buffer[32];
    // d.ddddddddddddddde±x: always 15 significant digits, independent of the C locale.
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, yuan, std::chars_format::scientific, 14);
    if (ec != std::errc()) return std::nullopt;
    const std::string text(buffer, end);
    const bool negative = text.front() == '-';
    const std::size_t first = negative ? 1 : 0;
    const std::size_t e = text.find('e');
    const std::string digits = text.substr(first, 1) + text.substr(first + 2, e - first - 2);
    const int exponent = std::stoi(text.substr(e + 1));

    // The digits that stand for whole fen: those down to the second decimal.
    const int keep = exponent + 3;
    qint64 fen = 0;
    if (keep > 0) {
        for (int i = 0; i < keep; ++i) fen = fen * 10 + (i < int(digits.size()) ? digits[std::size_t(i)] - '0' : 0);
        if (keep < int(digits.size()) && digits[std::size_t(keep)] >= '5') ++fen;
    } else if (keep == 0 && digits.front() >= '5') {
        fen = 1;
    }
    return fromFen(negative ? -fen : fen);
}

QString Money::fixedText() const {
    const quint64 size = m_fen < 0 ? 0 - quint64(m_fen) : quint64(m_fen);
    return QStringLiteral("%1%2.%3")
        .arg(m_fen < 0 ? QStringLiteral("-") : QString())
        .arg(size / 100)
        .arg(size % 100, 2, 10, QLatin1Char('0'));
}

QString Money::generalText() const {
    QString text = fixedText();
    if (text.endsWith(QLatin1String(".00"))) return text.chopped(3);
    if (text.endsWith(u'0')) text.chop(1);
    return text;
}

Money Money::operator+(Money other) const {
    qint64 sum = 0;
    if (qAddOverflow(m_fen, other.m_fen, &sum)) throw std::overflow_error("money amount out of range");
    return fromFen(sum);
}

Money Money::operator-(Money other) const {
    qint64 difference = 0;
    if (qSubOverflow(m_fen, other.m_fen, &difference)) throw std::overflow_error("money amount out of range");
    return fromFen(difference);
}
