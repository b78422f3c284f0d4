#include "core/app_info.h"
#include "core/error.h"
#include "core/error_steps.h"
#include "shell/frm_main.h"
#include "core/numeric_text.h"
#include "core/settings_store.h"
#include "shell/twips_screen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace brindle {

namespace {

QString Setting(const char16_t* key, const char16_t* fallback) {
    return GetSetting(AppTitle(), QStringLiteral("FORM_MAIN"), QString::fromUtf16(key),
                      QString::fromUtf16(fallback));
}

void StoreSetting(const char16_t* key, const QString& value) {
    SaveSetting(AppTitle(), QStringLiteral("FORM_MAIN"), QString::fromUtf16(key), value);
}

// How much of the title bar must be on a screen for the user to take hold of it.
constexpr int GripPixels = 48;

// The frame's top left moved as little as needed to put its title bar on a
// screen: a placement written on a larger or a second monitor, or by an older
// version that let the frame climb, must not leave a window nobody can move.
QPoint TitleBarOnScreen(const QRect& frame) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (const QScreen* screen : screens) {
        const QRect area = screen->availableGeometry();
        const int overlap =
            std::min(frame.right(), area.right()) - std::max(frame.left(), area.left()) + 1;
        if (frame.top() >= area.top() && frame.top() <= area.bottom() &&
            overlap >= std::min(GripPixels, frame.width()))
            return frame.topLeft();
    }
    const QScreen* screen = QGuiApplication::screenAt(frame.topLeft());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return frame.topLeft();
    const QRect area = screen->availableGeometry();
    const int x = std::clamp(frame.left(), area.left() - frame.width() + GripPixels,
                             std::max(area.left(), area.right() - GripPixels));
    const int y =
        std::clamp(frame.top(), area.top(), std::max(area.top(), area.bottom() - GripPixels));
    return {x, y};
}

} // namespace

void frmMain::RestorePlacement() {
    const TwipsPerPixel tpp = ScreenTwipsPerPixel(this);
    const auto numeric = [](const char16_t* key, const char16_t* fallback) {
        return WholeNumberOr(Setting(key, fallback), 0);
    };
    // The stored placement is the frame's, decorations included, as it is
    // written on closing. Moved before the window exists, the frame's corner
    // goes where it is asked; the size can only be the client's until the
    // window manager tells its decorations (FitFrameOnceDecorated).
    QPoint corner = pos();
    Step([&] { corner.setY(TwipsToPixels(numeric(u"TOP", u"0"), tpp.y)); });
    Step([&] { corner.setX(TwipsToPixels(numeric(u"LEFT", u"0"), tpp.x)); });
    Step([&] { resize(width(), TwipsToPixels(numeric(u"HEIGHT", u"6000"), tpp.y)); });
    Step([&] { resize(TwipsToPixels(numeric(u"WIDTH", u"8000"), tpp.x), height()); });
    Step([&] { move(TitleBarOnScreen(QRect(corner, size()))); });
    m_frameSizeToFit = size();
    Step([&] { ApplyWindowState(numeric(u"STATE", u"0")); });
}

void frmMain::FitFrameOnceDecorated() {
    if (m_frameSizeToFit.isEmpty() || CurrentWindowState() != 0 || !isVisible())
        return;
    const QWindow* handle = windowHandle();
    if (!handle)
        return;
    const QMargins decorations = handle->frameMargins();
    if (decorations.isNull())
        return;
    // Only while the client is as it was set: a maximised or minimised start
    // gets there when the user restores it.
    if (size() != m_frameSizeToFit)
        return;
    const QSize client = m_frameSizeToFit.shrunkBy(decorations);
    m_frameSizeToFit = QSize();
    resize(client);
}

void frmMain::SavePlacement() {
    const TwipsPerPixel tpp = ScreenTwipsPerPixel(this);
    if (CurrentWindowState() == 0) {
        const QRect frame = frameGeometry();
        Step([&] { StoreSetting(u"TOP", SingleText(frame.y() * tpp.y)); });
        Step([&] { StoreSetting(u"LEFT", SingleText(frame.x() * tpp.x)); });
        Step([&] { StoreSetting(u"HEIGHT", SingleText(frame.height() * tpp.y)); });
        Step([&] { StoreSetting(u"WIDTH", SingleText(frame.width() * tpp.x)); });
    }
    Step([&] { StoreSetting(u"STATE", QString::number(CurrentWindowState())); });
}

void frmMain::ApplyWindowState(int state) {
    Qt::WindowStates states = windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    switch (state) {
    case 0:
        break;
    case 1:
        states |= Qt::WindowMinimized;
        break;
    case 2:
        states |= Qt::WindowMaximized;
        break;
    default:
        throw InvalidPropertyError();
    }
    setWindowState(states);
}

int frmMain::CurrentWindowState() const {
    if (windowState() & Qt::WindowMinimized)
        return 1;
    if (windowState() & Qt::WindowMaximized)
        return 2;
    return 0;
}

} // namespace brindle
