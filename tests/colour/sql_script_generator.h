#pragma once

#include <QString>

namespace brindle::test {

// A realistic query script of `lines` lines (SELECT with joins, INSERT,
// UPDATE, DELETE, GO, line and block comments, strings, tabs, Japanese),
// paragraphs separated by '\n'. The same seed gives the same script.
QString GenerateSqlScript(int lines, unsigned seed = 1);

// The script as the query editor hands it to the colouriser.
QString GenerateSqlRtf(int lines, unsigned seed = 1);

} // namespace brindle::test
