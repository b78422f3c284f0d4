#pragma once

#include "arrange/arrange_table.h"

#include <QString>

#include <optional>

namespace brindle::test {

// The arrangement exactly as designed, kept plain on purpose: 1-based
// positions, every search lowers the whole text again and every occurrence
// rebuilds the whole text. The fast formatter must give the same text.
//
// Throws the same Errors as ArrangeText (9 for an empty table, 6 for an
// indentation overflow). With `stopRunaway`, returns nullopt when one entry
// breaks the text more than 4 times per character it started from. An entry
// that ends needs about two per character at most (one where it matches, one
// where it finds the copy it wrote again), so this tells a text that grows
// without end from one that is merely slow.
std::optional<QString> NaiveArrange(const QString& query, const ArrangeTable& table,
                                    bool stopRunaway = false);

} // namespace brindle::test
