#include "shell/frm_main.h"

#include "core/error.h"
#include "shell/main_commands.h"
#include "shell/twips_screen.h"

#include <QAction>
#include <QComboBox>
#include <QIcon>
#include <QLabel>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace brindle {

namespace {

QIcon ButtonIcon(const QString& name) {
    return QIcon(QStringLiteral(":/icons/") + name + u".png");
}

} // namespace

void frmMain::BuildMainToolbar() {
    const TwipsPerPixel tpp = ScreenTwipsPerPixel(this);
    m_tlbMain = new QToolBar(QStringLiteral("tlbMain"), this);
    m_tlbMain->setObjectName(QStringLiteral("tlbMain"));
    m_tlbMain->setMovable(false);
    m_tlbMain->setFloatable(false);
    m_tlbMain->setIconSize(QSize(16, 16));
    m_tlbMain->setFixedHeight(TwipsToPixels(360, tpp.y));
    addToolBar(Qt::TopToolBarArea, m_tlbMain);
    for (const ToolButtonDef& def : MainToolbarButtons()) {
        QAction* button = m_tlbMain->addAction(ButtonIcon(def.icon), def.toolTip);
        button->setObjectName(def.key);
        button->setToolTip(def.toolTip);
        m_mainButtons.insert(def.key, button);
        const QString key = def.key;
        connect(button, &QAction::triggered, this, [this, key] { tlbMain_ButtonClick(key); });
        // Separators between the groups of the menus the buttons stand for.
        if (key == QStringLiteral("OPEN") || key == QStringLiteral("SAVE") ||
            key == QStringLiteral("TIMEOUT") || key == QStringLiteral("EXCEL"))
            m_tlbMain->addSeparator();
    }
}

void frmMain::tlbMain_ButtonClick(const QString& key) {
    const QString item = MenuItemForToolbarKey(key);
    if (!item.isEmpty())
        RunMenuItem(item);
}

void frmMain::BuildGridToolbar() {
    const TwipsPerPixel tpp = ScreenTwipsPerPixel(this);
    m_tlbGrid = new QToolBar(QStringLiteral("tlbGrid"), this);
    m_tlbGrid->setObjectName(QStringLiteral("tlbGrid"));
    m_tlbGrid->setMovable(false);
    m_tlbGrid->setFloatable(false);
    const int height = TwipsToPixels(420, tpp.y);
    m_tlbGrid->setFixedHeight(height);
    addToolBar(Qt::BottomToolBarArea, m_tlbGrid);

    // Buttons and the table list sit at fixed places, the list 2280 twips
    // from the toolbar's left edge.
    auto* strip = new QWidget(m_tlbGrid);
    const int buttonSize = height - 4;
    int x = 0;
    for (const ToolButtonDef& def : GridToolbarButtons()) {
        auto* button = new QToolButton(strip);
        auto* action = new QAction(ButtonIcon(def.icon), def.toolTip, button);
        action->setObjectName(def.key);
        action->setToolTip(def.toolTip);
        button->setDefaultAction(action);
        button->setObjectName(def.key);
        button->setIconSize(QSize(16, 16));
        button->setAutoRaise(true);
        button->setGeometry(x, 1, buttonSize, buttonSize);
        x += buttonSize;
        const QString key = def.key;
        connect(action, &QAction::triggered, this, [this, key] { tlbGrid_ButtonClick(key); });
        m_gridButtons.insert(def.key, button);
    }
    m_cboTable = new QComboBox(strip);
    m_cboTable->setObjectName(QStringLiteral("cboTable"));
    m_cboTable->setToolTip(QStringLiteral("テーブルの指定"));
    m_cboTable->setEditable(false);
    // Only the user's pick writes a query, not a refill of the list.
    connect(m_cboTable, &QComboBox::activated, this, [this] {
        try {
            cboTable_Click();
        } catch (const Error& e) {
            mMsg.ShowError(e.description());
        }
    });
    const int left = std::max(x + 4, TwipsToPixels(2280, tpp.x));
    const int width = TwipsToPixels(3495, tpp.x);
    const int comboHeight = std::min(m_cboTable->sizeHint().height(), height - 2);
    m_cboTable->setGeometry(left, (height - comboHeight) / 2, width, comboHeight);
    strip->setFixedSize(left + width + 4, height);
    m_tlbGrid->addWidget(strip);
}

void frmMain::BuildStatusBar() {
    const TwipsPerPixel tpp = ScreenTwipsPerPixel(this);
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("stbMain"));
    bar->setSizeGripEnabled(true);
    bar->setFixedHeight(TwipsToPixels(315, tpp.y));
    const std::pair<QString, double> panels[] = {{QStringLiteral("MESSAGE"), 3000},
                                                 {QStringLiteral("DSN"), 4000}};
    for (const auto& [key, widthTwips] : panels) {
        auto* panel = new QLabel(bar);
        panel->setObjectName(key);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setFixedWidth(TwipsToPixels(widthTwips, tpp.x));
        bar->addWidget(panel);
        m_panels.insert(key, panel);
    }
    // The last run's totals; as wide as a long run's "12 バッチ · 1,000,000
    // 行 · 1,234.56 秒" needs.
    auto* run = new QLabel(bar);
    run->setObjectName(RunPanel);
    run->setFrameShape(QFrame::Panel);
    run->setFrameShadow(QFrame::Sunken);
    run->setMinimumWidth(TwipsToPixels(4500, tpp.x));
    bar->addWidget(run);
    m_panels.insert(RunPanel, run);
    // Shown only while the journal cannot write: the user's queries are then
    // in memory only.
    auto* journal = new QLabel(bar);
    journal->setObjectName(QStringLiteral("JOURNAL"));
    journal->setFrameShape(QFrame::Panel);
    journal->setFrameShadow(QFrame::Sunken);
    bar->addWidget(journal);
    journal->hide();
    m_panels.insert(QStringLiteral("JOURNAL"), journal);
}

} // namespace brindle
