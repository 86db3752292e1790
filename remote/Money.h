#pragma once
// An amount of money in whole fen (hundredths of a yuan). Every amount the client keeps, compares,
// adds or subtracts is a Money; a floating-point number exists only where a reply or a typed text is
// read (fromYuan) and where a text is made (the text functions below).
#include <QString>
#include <QtGlobal>
#include <compare>
#include <optional>

class Money {
public:
    constexpr Money() = default;
    static constexpr Money fromFen(qint64 fen) {
        Money money;
        money.m_fen = fen;
        return money;
    }
    // The largest amount a Money holds, in yuan (exclusive): far above any balance, and small enough
    // that the sum or difference of two amounts always fits.
    static constexpr double MaxYuan = 1e15;
    // The nearest whole fen, halves away from zero, taken on the amount's decimal digits (15
    // significant digits, what a typed or sent amount holds) instead of on its binary approximation:
    // 12.345 is 1235 fen although the nearest double lies just below 12.345. nullopt for a value that
    // is not finite or not below MaxYuan in size.
    static std::optional<Money> fromYuan(double yuan);

    constexpr qint64 fen() const { return m_fen; }

    // Two decimals, '.' as separator, no grouping: 1235 fen -> "12.35", 10000 -> "100.00", -1 -> "-0.01".
    QString fixedText() const;
    // The shortest decimal form: 15000 -> "150", 1250 -> "12.5", 1 -> "0.01", 0 -> "0".
    QString generalText() const;

    // Throw std::overflow_error when the result does not fit (which amounts from fromYuan never reach).
    Money operator+(Money other) const;
    Money operator-(Money other) const;
    Money& operator-=(Money other) { return *this = *this - other; }

    // NOLINTNEXTLINE(modernize-use-nullptr): the check misreads the defaulted comparison
    friend constexpr auto operator<=>(Money, Money) = default;

private:
    qint64 m_fen = 0;
};
