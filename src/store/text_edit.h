#pragma once

#include <QString>

namespace brindle::store {

// One change of a text: `removed` UTF-16 units at `position` replaced by
// `inserted`.
struct TextEdit {
    qsizetype position = 0;
    qsizetype removed = 0;
    QString inserted;
};

// Applies `edit` to `text`, first keeping its position and length inside the
// text, so that an edit that does not fit changes what it can and never
// reads past the end. Returns the edit as applied.
TextEdit ApplyEdit(QString& text, TextEdit edit);

// `edit` as applied to `before` (giving `after`), widened so that neither
// end splits a surrogate pair: stored as UTF-8, each piece then holds whole
// characters.
TextEdit WholeCharacters(const QString& after, TextEdit edit);

// The first line that is not blank, trimmed and cut to `limit` characters;
// empty for a blank text.
QString FirstLine(const QString& text, qsizetype limit = 200);

} // namespace brindle::store
