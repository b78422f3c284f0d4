#pragma once

#include <QString>
#include <QStringView>

namespace brindle {

// Upper case character by character, so every position stays where it was
// (full-width Latin letters map too).
QString UpperSameLength(QStringView text);

// The first occurrence of `word` in `text` at or after the 1-based position
// `start`, comparing exactly, or after mapping both to upper case when
// `ignoreCase`. Returns the 1-based position, or 0 when there is none. An
// empty word is found at `start` itself.
qsizetype FindWord(QStringView text, qsizetype start, QStringView word, bool ignoreCase);

} // namespace brindle
