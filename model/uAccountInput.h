#pragma once
// Typed input of the account screens: trimming, money amounts typed by the user, and the general
// number form in which a balance is shown in an edit box.
#include <QString>
#include <optional>

// `text` without its leading and trailing characters of code 32 or below (blanks, tabs, line
// breaks and other control characters).
QString TrimControls(const QString& text);

// A typed amount: an optional sign, digits with an optional '.' fraction, an optional exponent;
// blanks and control characters around it are ignored. Digit grouping ("1,000"), letters, an empty
// text, and anything that does not come out as a finite number ("inf", "nan", "1e999") give
// nullopt. No range test: 0 and negative amounts convert.
std::optional<double> TextToAmount(const QString& text);

// The amount as a money field carries it to the server: rounded to two decimals (12.345 -> 12.35).
double AmountAsSent(double amount);

// The shortest general form of a number, at most 15 significant digits: 150 -> "150",
// 12.5 -> "12.5", 150 - 37.5 -> "112.5", 0.1 + 0.2 -> "0.3".
QString GeneralNumberText(double value);
