#include "main_window_fixture.h"

#include <QScreen>
#include <QToolBar>

#include <algorithm>

using namespace brindle;
using brindle::test::MainWindowTest;

// Offscreen windows have no frame, and 96 DPI makes a pixel 15 twips.

TEST_F(MainWindowTest, EmptyStoreOpensAtTheDefaultPlacementAndTimeOut) {
    frmMain& w = Open();
    EXPECT_EQ(w.frameGeometry().topLeft(), QPoint(0, 0));
    const QSize frame = w.frameGeometry().size() - w.size();
    // 8000 x 6000 twips, raised to the minimum.
    EXPECT_EQ(w.frameGeometry().width(), std::max(533, gptMinTrack.x + frame.width()));
    EXPECT_EQ(w.frameGeometry().height(), std::max(400, gptMinTrack.y + frame.height()));
    EXPECT_EQ(w.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized), 0);
    EXPECT_EQ(gcmdDB->CommandTimeout(), 30);
    EXPECT_EQ(w.minimumSize(), QSize(gptMinTrack.x, gptMinTrack.y));
    EXPECT_EQ(glngMainHwnd, &w);
}

TEST_F(MainWindowTest, MinimumSizeIsTheDesignSize) {
    frmMain& w = Open();
    // The design client area, 7275 x 4860 twips, plus menus, toolbars and status bar.
    EXPECT_GE(gptMinTrack.x, 485);
    EXPECT_GE(gptMinTrack.y, 324 + w.tlbMain()->height() + w.tlbGrid()->height());
    w.resize(10, 10);
    EXPECT_EQ(w.size(), QSize(gptMinTrack.x, gptMinTrack.y));
}

TEST_F(MainWindowTest, StoredPlacementIsRestoredInTwips) {
    Store(u"FORM_MAIN", u"TOP", QStringLiteral("1500"));
    Store(u"FORM_MAIN", u"LEFT", QStringLiteral("3000"));
    Store(u"FORM_MAIN", u"HEIGHT", QStringLiteral("9000"));
    Store(u"FORM_MAIN", u"WIDTH", QStringLiteral("12000.4"));
    frmMain& w = Open();
    EXPECT_EQ(w.frameGeometry(), QRect(200, 100, 800, 600));
}

TEST_F(MainWindowTest, UnusableStoredValuesFallBack) {
    Store(u"FORM_MAIN", u"HEIGHT", QStringLiteral("tall"));
    Store(u"FORM_MAIN", u"STATE", QStringLiteral("5"));
    Store(u"QUERY", u"TIMEOUT", QStringLiteral("-5"));
    frmMain& w = Open();
    EXPECT_EQ(w.height(), gptMinTrack.y) << "0 is raised to the design height";
    EXPECT_FALSE(w.isMaximized());
    EXPECT_FALSE(w.isMinimized());
    EXPECT_EQ(gcmdDB->CommandTimeout(), 30) << "a refused time-out keeps the default";
}

TEST_F(MainWindowTest, TimeOutIsReadRoundedAndWrittenOnClose) {
    const struct {
        const char16_t* stored;
        int timeout;
    } cases[] = {{u"45", 45}, {u"abc", 30}, {u"7.5", 8}, {u"0", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.stored).toStdString());
        Store(u"QUERY", u"TIMEOUT", QString::fromUtf16(c.stored));
        frmMain& w = Open();
        EXPECT_EQ(gcmdDB->CommandTimeout(), c.timeout);
        gcmdDB->setCommandTimeout(c.timeout + 1);
        w.close();
        EXPECT_EQ(Stored(u"QUERY", u"TIMEOUT"), QString::number(c.timeout + 1));
    }
}

TEST_F(MainWindowTest, ClosingInNormalStateWritesThePlacement) {
    frmMain& w = Open();
    const QSize frame = w.frameGeometry().size() - w.size();
    w.move(300, 150);
    w.resize(QSize(700, 500) - frame);
    w.close();
    EXPECT_EQ(Stored(u"FORM_MAIN", u"TOP"), QStringLiteral("2250"));
    EXPECT_EQ(Stored(u"FORM_MAIN", u"LEFT"), QStringLiteral("4500"));
    EXPECT_EQ(Stored(u"FORM_MAIN", u"HEIGHT"), QStringLiteral("7500"));
    EXPECT_EQ(Stored(u"FORM_MAIN", u"WIDTH"), QStringLiteral("10500"));
    EXPECT_EQ(Stored(u"FORM_MAIN", u"STATE"), QStringLiteral("0"));
    EXPECT_EQ(Stored(u"QUERY", u"TIMEOUT"), QStringLiteral("30"));
    // And the next start comes back there.
    frmMain& again = Open();
    EXPECT_EQ(again.frameGeometry(), QRect(300, 150, 700, 500));
}

TEST_F(MainWindowTest, MaximisedOrMinimisedCloseKeepsTheLastNormalPlacement) {
    const struct {
        const char16_t* state;
        bool maximised;
    } cases[] = {{u"2", true}, {u"1", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.state).toStdString());
        Store(u"FORM_MAIN", u"TOP", QStringLiteral("1500"));
        Store(u"FORM_MAIN", u"LEFT", QStringLiteral("3000"));
        Store(u"FORM_MAIN", u"HEIGHT", QStringLiteral("9000"));
        Store(u"FORM_MAIN", u"WIDTH", QStringLiteral("12000"));
        Store(u"FORM_MAIN", u"STATE", QString::fromUtf16(c.state));
        frmMain& w = Open();
        EXPECT_EQ(w.isMaximized(), c.maximised);
        EXPECT_EQ(w.isMinimized(), !c.maximised);
        w.close();
        EXPECT_EQ(Stored(u"FORM_MAIN", u"STATE"), QString::fromUtf16(c.state));
        EXPECT_EQ(Stored(u"FORM_MAIN", u"TOP"), QStringLiteral("1500"));
        EXPECT_EQ(Stored(u"FORM_MAIN", u"LEFT"), QStringLiteral("3000"));
        EXPECT_EQ(Stored(u"FORM_MAIN", u"HEIGHT"), QStringLiteral("9000"));
        EXPECT_EQ(Stored(u"FORM_MAIN", u"WIDTH"), QStringLiteral("12000"));
    }
}

TEST_F(MainWindowTest, SettingsFileHoldsOnlyKnownSections) {
    frmMain& w = Open();
    w.LoadNewDoc();
    w.close();
    const QString text = settings.FileText();
    EXPECT_TRUE(text.contains(QStringLiteral("[FORM_MAIN]")));
    EXPECT_TRUE(text.contains(QStringLiteral("[QUERY]")));
    EXPECT_FALSE(text.contains(QStringLiteral("PWD"), Qt::CaseInsensitive));
}

TEST_F(MainWindowTest, ATitleBarOffTheScreenIsBroughtBack) {
    // Placements that an older version let climb, or a monitor now gone.
    const struct {
        const char16_t* top;
        const char16_t* left;
    } cases[] = {{u"-900", u"-45"}, {u"-30000", u"0"}, {u"0", u"-300000"}, {u"900000", u"900000"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.top).toStdString() + " " +
                     QString::fromUtf16(c.left).toStdString());
        Store(u"FORM_MAIN", u"TOP", QString::fromUtf16(c.top));
        Store(u"FORM_MAIN", u"LEFT", QString::fromUtf16(c.left));
        frmMain& w = Open();
        const QRect screen = w.screen()->availableGeometry();
        const QRect frame = w.frameGeometry();
        EXPECT_GE(frame.top(), screen.top());
        EXPECT_LT(frame.top(), screen.bottom());
        EXPECT_GE(std::min(frame.right(), screen.right()) - std::max(frame.left(), screen.left()),
                  40)
            << "enough of the title bar to take hold of";
        w.close();
    }
    // A placement on the screen is taken as it is, also at its very edge.
    Store(u"FORM_MAIN", u"TOP", QStringLiteral("0"));
    Store(u"FORM_MAIN", u"LEFT", QStringLiteral("-15"));
    EXPECT_EQ(Open().frameGeometry().topLeft(), QPoint(-1, 0));
}
