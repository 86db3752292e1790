#pragma once
// Typed input of the account screens: trimming and money amounts typed by the user.
#include "remote/Money.h"

#include <QString>
#include <optional>

// `text` without its leading and trailing characters of code 32 or below (blanks, tabs, line
// breaks and other control characters).
QString TrimControls(const QString& text);

// A typed amount of money: an optional sign, digits with an optional '.' fraction, an optional
// exponent; blanks and control characters around it are ignored. It is taken to the nearest whole fen
// (12.345 -> 12.35, as a money field sends it). Digit grouping ("1,000"), letters, an empty text, and
// anything that does not come out as a finite number below Money::MaxYuan ("inf", "nan", "1e999",
// "1e20") give nullopt. No range test beyond that: 0 and negative amounts convert.
std::optional<Money> TextToMoney(const QString& text);
