#pragma once

#include "core/twips.h"

class QWidget;

namespace brindle {

// Twips per pixel of the screen a widget is on (the primary screen when null).
TwipsPerPixel ScreenTwipsPerPixel(const QWidget* widget = nullptr);

} // namespace brindle
