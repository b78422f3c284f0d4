#include "colour/keyword_table.h"

#include "colour/bas_csv.h"
#include "core/error.h"
#include "core/numeric_text.h"

#include <limits>

namespace brindle {

qint16 ColorNoFromField(QStringView field) {
    const qint32 number = ToWholeNumber(field);
    if (number < std::numeric_limits<qint16>::min() ||
        number > std::numeric_limits<qint16>::max()) {
        throw OverflowError();
    }
    return static_cast<qint16>(number);
}

KeywordTable ParseKeywordTable(QStringView fileText) {
    static constexpr QStringView kLineEnd = u"\r\n";
    KeywordTable table;
    // Line 0 is the caption; reading starts after the first CR LF.
    qsizetype from = fileText.indexOf(kLineEnd);
    while (from >= 0) {
        from += kLineEnd.size();
        const qsizetype end = fileText.indexOf(kLineEnd, from);
        const QStringView line = fileText.sliced(from, (end < 0 ? fileText.size() : end) - from);
        from = end;
        if (line.isEmpty()) {
            continue;
        }
        const QStringList fields = SplitCsvLine(line);
        if (fields.size() < 2) {
            throw SubscriptError();
        }
        const qint16 colorNo = ColorNoFromField(fields[1]);
        if (fields[0].isEmpty()) {
            continue;
        }
        table.push_back({fields[0], colorNo});
    }
    return table;
}

} // namespace brindle
