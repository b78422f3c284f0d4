#pragma once

#include "colour/keyword_table.h"

#include <QString>

#include <optional>

// The colouriser written the plain way: 1-based positions, the whole string
// rebuilt at every coloured occurrence and lowered afresh before every
// search. Slow, but each line follows the algorithm as stated, so the fast
// passes are checked against it.
namespace brindle::naive {

QString FlattenRtf(const QString& rtf, qint16 tabSpaceNum);
QString RemoveColors(const QString& text);
QString ColorComments(QString text);
// std::nullopt where the real one fails with error 9 (an empty table).
std::optional<QString> ColorKeywords(const QString& text, const KeywordTable& table);
// The whole of CColor after the table has been loaded.
std::optional<QString> CColor(const QString& rtf, const KeywordTable& table,
                              qint16 tabSpaceNum = 4);

} // namespace brindle::naive
