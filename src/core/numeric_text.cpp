#include "core/numeric_text.h"

#include "core/error.h"

#include <QRegularExpression>

#include <cmath>

namespace brindle {

namespace {

const QRegularExpression& NumberPattern() {
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?\s*$)"));
    return pattern;
}

} // namespace

bool IsNumericText(QStringView text) {
    return NumberPattern().match(text).hasMatch();
}

qint32 ToWholeNumber(QStringView text) {
    if (!IsNumericText(text))
        throw TypeMismatchError();
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        throw OverflowError();
    // std::nearbyint honours the default rounding mode: to nearest, ties to even.
    const double whole = std::nearbyint(value);
    if (whole < -2147483648.0 || whole > 2147483647.0)
        throw OverflowError();
    return static_cast<qint32>(whole);
}

qint32 WholeNumberOr(QStringView text, qint32 fallback) {
    return IsNumericText(text) ? ToWholeNumber(text) : fallback;
}

QString BoolText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

bool BoolFromText(QStringView text) {
    const QStringView t = text.trimmed();
    if (t.compare(u"true", Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(u"false", Qt::CaseInsensitive) == 0)
        return false;
    if (IsNumericText(t)) {
        bool ok = false;
        const double value = t.toDouble(&ok);
        return ok && value != 0.0;
    }
    return false;
}

QString SingleText(double value) {
    return QString::number(static_cast<float>(value), 'g', 7);
}

} // namespace brindle
