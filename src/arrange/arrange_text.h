#pragma once

#include "arrange/arrange_table.h"

#include <QString>
#include <QStringView>

namespace brindle {

// Lays the query out by the table. Each applicable entry, in table order, is
// looked for over the whole text ignoring case; at every occurrence that
// qualifies (a word only between delimiters) the text is rebuilt so that the
// keyword ends its line, a word also starts one, and the text after it starts
// on a new line indented by its level. The search then goes on at the
// position just past the character that followed the occurrence, counted in
// the text as it was before the rebuild. CR LF comes back as CR LF, a lone CR
// comes back as CR LF, tabs come back as 4 blanks.
// Throws Error 9 for an empty table, 6 for an indentation level outside
// -8192..8191 at an occurrence that qualifies, and 6 for a text that grows
// past 2^31 - 1 characters.
QString ArrangeText(QStringView query, const ArrangeTable& table);

} // namespace brindle
