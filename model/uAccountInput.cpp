#include "model/uAccountInput.h"

#include "remote/uCommandCatalogue.h"

#include <QRegularExpression>
#include <cmath>

QString TrimControls(const QString& text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && text.at(begin).unicode() <= 32) ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 32) --end;
    return text.mid(begin, end - begin);
}

std::optional<double> TextToAmount(const QString& text) {
    static const QRegularExpression form(QStringLiteral(R"(^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?$)"));
    const QString trimmed = TrimControls(text);
    if (!form.match(trimmed).hasMatch()) return std::nullopt;
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    // toDouble refuses an overflow ("1e999"); the finiteness test keeps that true whatever it does.
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

double AmountAsSent(double amount) {
    return FormatFieldValue(TFieldFormat::Money, amount).toDouble();
}

QString GeneralNumberText(double value) {
    if (value == 0) return QStringLiteral("0"); // also -0
    return QString::number(value, 'g', 15);
}
