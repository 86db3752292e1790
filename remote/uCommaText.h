#pragma once
// Comma text: how a list of name=value lines becomes one text on the wire, and back.
#include <QString>
#include <QStringList>

// Lines joined with ','; a line holding '"', ',' or a character of code 1..32 is written between
// double quotes with inner quotes doubled. Characters above 255 never cause quoting.
QString CommaText(const QStringList& lines);

// The inverse of CommaText: quoted items may hold anything (a doubled quote stands for one);
// unquoted items end at the next comma. An empty text is an empty list.
QStringList SplitCommaText(const QString& text);

// The value of the first line "name=value" in `lines`; nullopt-like: `found` tells whether it was there.
QString ValueOfLine(const QStringList& lines, const QString& name, bool* found = nullptr);
