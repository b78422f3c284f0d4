#include "colour/bas_csv.h"

#include "core/error.h"

namespace brindle {

namespace {

// The field counter of the keyword-table format is 16 bits wide.
constexpr qsizetype kMaxFields = 32767;

} // namespace

QStringList SplitCsvLine(QStringView line) {
    const qsizetype length = line.size();
    QStringList fields;
    qsizetype p = 0; // scan position, 0-based
    // The next comma is looked for only when the field ends there: a quoted
    // field ignores it, and looking for it anyway scans the rest of the line
    // once per field.
    const auto nextComma = [&line, length](qsizetype from) {
        const qsizetype comma = line.indexOf(u',', from);
        return comma < 0 ? length : comma;
    };
    do {
        QStringView field;
        if (p >= length || line[p] != u'"') {
            const qsizetype comma = nextComma(p);
            field = line.sliced(p, comma - p);
            p = comma + 1;
        } else {
            // The closing quote is looked for from two characters after the
            // opening one, so `""` does not close itself.
            const qsizetype close = p + 2 <= length ? line.indexOf(u'"', p + 2) : -1;
            if (close >= 0) {
                field = line.sliced(p + 1, close - p - 1);
                p = close + 2; // the closing quote and the character after it
            } else {
                const qsizetype comma = nextComma(p);
                field = line.sliced(p, comma - p);
                p = comma + 1;
            }
        }
        if (fields.size() == kMaxFields) {
            throw OverflowError();
        }
        fields.append(field.toString());
    } while (p < length);
    return fields;
}

} // namespace brindle
