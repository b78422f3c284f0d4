#include "arrange/arrange_table.h"

#include "arrange/arrange_steps.h"
#include "colour/bas_csv.h"
#include "core/error.h"
#include "core/numeric_text.h"

#include <limits>

namespace brindle {

namespace {

// The line counter of the keyword-table format is 16 bits wide; the caption
// line and the empty piece after a final CR LF count as lines.
constexpr qsizetype kMaxLines = 32767;

} // namespace

bool IsApplicableKeyword(QStringView keyword) {
    for (const QChar c : keyword) {
        if (c != u' ' && c != u'\r') {
            return true;
        }
    }
    return false;
}

qint16 ArrangeNumberFromField(QStringView field) {
    const qint32 value = ToWholeNumber(field);
    if (value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max()) {
        throw OverflowError();
    }
    return static_cast<qint16>(value);
}

ArrangeTable ParseArrangeTable(QStringView fileText) {
    const QList<QStringView> lines = fileText.split(u"\r\n");
    if (lines.size() > kMaxLines) {
        throw OverflowError();
    }
    ArrangeTable table;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringView line = arrange::TrimBlanks(lines[i]);
        if (line.isEmpty()) {
            continue;
        }
        const QStringList fields = SplitCsvLine(line);
        if (fields.size() < 3) {
            throw SubscriptError();
        }
        KeywordArrange entry;
        entry.Keyword = fields[0];
        entry.Level = ArrangeNumberFromField(fields[1]);
        entry.Kind = ArrangeNumberFromField(fields[2]);
        if (IsApplicableKeyword(entry.Keyword)) {
            table.push_back(std::move(entry));
        }
    }
    return table;
}

} // namespace brindle
