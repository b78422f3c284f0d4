#pragma once

#include "store/kept_document.h"

#include <QString>

namespace brindle {

// How the lists show a kept document's times and size.
QString KeptTimeText(const QDateTime& time);
QString KeptSizeText(qint64 length);
// The first line as a menu or list shows it, cut to `maxChars`.
QString KeptFirstLine(const store::KeptDocument& document, int maxChars = 60);

} // namespace brindle
