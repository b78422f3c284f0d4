#include "shell/twips_screen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace brindle {

TwipsPerPixel ScreenTwipsPerPixel(const QWidget* widget) {
    const QScreen* screen =
        widget && widget->screen() ? widget->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    return TwipsPerPixelForDpi(screen->logicalDotsPerInchX(), screen->logicalDotsPerInchY());
}

} // namespace brindle
