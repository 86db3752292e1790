#include "model/uAccountInput.h"

#include <QRegularExpression>

QString TrimControls(const QString& text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && text.at(begin).unicode() <= 32) ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 32) --end;
    return text.mid(begin, end - begin);
}

std::optional<Money> TextToMoney(const QString& text) {
    static const QRegularExpression form(QStringLiteral(R"(^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?$)"));
    const QString trimmed = TrimControls(text);
    if (!form.match(trimmed).hasMatch()) return std::nullopt;
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    // toDouble refuses an overflow ("1e999"); fromYuan refuses what is not finite or too large.
    if (!ok) return std::nullopt;
    return Money::fromYuan(value);
}
