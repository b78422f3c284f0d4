#include "data/catalog_pane.h"

#include "data/catalog_loader.h"
#include "data/catalog_tree_model.h"
#include "data/identifier_quoting.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace brindle::catalog {

CatalogPane::CatalogPane(CatalogLoader& loader, CatalogTreeModel& model, QWidget* parent)
    : QDockWidget(QStringLiteral("オブジェクト"), parent), m_loader(loader), m_model(model),
      m_filter(new QLineEdit), m_tree(new QTreeView), m_message(new QLabel) {
    setObjectName(QStringLiteral("dckObjects"));
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    auto* body = new QWidget;
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    auto* top = new QHBoxLayout;
    m_filter->setObjectName(QStringLiteral("txtObjectFilter"));
    m_filter->setPlaceholderText(QStringLiteral("名前で絞り込み"));
    m_filter->setClearButtonEnabled(true);
    top->addWidget(m_filter, 1);
    auto* refresh = new QToolButton;
    refresh->setObjectName(QStringLiteral("cmdObjectRefresh"));
    refresh->setText(QStringLiteral("更新"));
    refresh->setToolTip(QStringLiteral("最新の情報に更新"));
    top->addWidget(refresh);
    layout->addLayout(top);
    m_tree->setObjectName(QStringLiteral("tvwObjects"));
    m_tree->setModel(&m_model);
    // Every row one line high: 10,000 tables scroll and filter at once.
    m_tree->setUniformRowHeights(true);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_tree->header()->setStretchLastSection(false);
    m_tree->header()->setSectionResizeMode(QHeaderView::Interactive);
    for (const auto& [field, width] : {std::pair{CatalogTreeModel::NameField, 170},
                                       {CatalogTreeModel::TypeField, 90},
                                       {CatalogTreeModel::SizeField, 50},
                                       {CatalogTreeModel::NullField, 70},
                                       {CatalogTreeModel::KeyField, 30}})
        m_tree->setColumnWidth(field, width);
    m_tree->installEventFilter(this);
    layout->addWidget(m_tree, 1);
    m_message->setObjectName(QStringLiteral("lblObjectMessage"));
    m_message->setWordWrap(true);
    m_message->setText(QStringLiteral("接続していません。"));
    layout->addWidget(m_message);
    setWidget(body);

    connect(m_filter, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_model.SetFilter(text);
        OpenGroups();
    });
    connect(refresh, &QToolButton::clicked, this, &CatalogPane::Refresh);
    connect(m_tree, &QTreeView::doubleClicked, this, &CatalogPane::Activate);
    connect(m_tree, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const QModelIndex index = m_tree->indexAt(at);
        if (std::unique_ptr<QMenu> menu = ContextMenu(index))
            menu->exec(m_tree->viewport()->mapToGlobal(at));
    });
    connect(&m_model, &CatalogTreeModel::ColumnsWanted, &m_loader, &CatalogLoader::LoadColumns);
    connect(&m_loader, &CatalogLoader::TablesLoaded, this, &CatalogPane::OnTablesLoaded);
    connect(&m_loader, &CatalogLoader::ColumnsLoaded, this, &CatalogPane::OnColumnsLoaded);
    connect(&m_loader, &CatalogLoader::Failed, this, &CatalogPane::OnFailed);
}

void CatalogPane::ShowConnection(const QString& connectionString) {
    m_connectionString = connectionString;
    m_columnListWanted.reset();
    m_model.Clear();
    if (connectionString.isEmpty()) {
        m_loader.Cancel();
        m_message->setText(QStringLiteral("接続していません。"));
        return;
    }
    m_message->setText(QStringLiteral("読み込んでいます..."));
    m_loader.Load(connectionString);
}

void CatalogPane::Refresh() {
    ShowConnection(m_connectionString);
}

void CatalogPane::OnTablesLoaded(quint64, const NameRules& rules,
                                 const std::vector<Table>& tables) {
    m_model.SetTables(rules, tables);
    OpenGroups();
    m_message->setText(tables.empty()
                           ? QStringLiteral("テーブルはありません。")
                           : QStringLiteral("テーブルとビュー %1 個").arg(tables.size()));
}

void CatalogPane::OnColumnsLoaded(quint64, const Table& table, const std::vector<Column>& columns) {
    m_model.SetColumns(table, columns);
    if (m_columnListWanted && *m_columnListWanted == table) {
        m_columnListWanted.reset();
        if (!columns.empty())
            emit InsertRequested(ColumnList(columns));
    }
}

void CatalogPane::OnFailed(quint64, const Table& table, const QString& message) {
    if (!table.name.isEmpty()) {
        // That table shows no columns; the rest of the tree stays.
        m_model.SetColumns(table, {});
        if (m_columnListWanted && *m_columnListWanted == table)
            m_columnListWanted.reset();
        m_message->setText(table.name + u": " + message);
        return;
    }
    m_message->setText(message);
}

void CatalogPane::OpenGroups() {
    // Only the groups: opening a table would load its columns.
    if (!m_model.Grouped() || m_model.Filter().isEmpty())
        return;
    for (int row = 0; row < m_model.rowCount(); ++row)
        m_tree->expand(m_model.index(row, 0));
}

void CatalogPane::Activate(const QModelIndex& index) {
    const QString text = m_model.InsertText(index.siblingAtColumn(0));
    if (!text.isEmpty())
        emit InsertRequested(text);
}

QString CatalogPane::ColumnList(const std::vector<Column>& columns) const {
    QStringList names;
    for (const Column& column : columns)
        names.append(QuotedName(column.name, m_model.Rules()));
    return names.join(QStringLiteral(", "));
}

void CatalogPane::InsertColumnList(const Table& table) {
    if (const std::vector<Column>* columns = m_model.ColumnsOf(table)) {
        if (!columns->empty())
            emit InsertRequested(ColumnList(*columns));
        return;
    }
    // Not loaded yet: inserted when they arrive.
    m_columnListWanted = table;
    const QModelIndex item = m_model.IndexOf(table);
    if (item.isValid() && m_model.canFetchMore(item))
        m_model.fetchMore(item);
    else
        m_loader.LoadColumns(table);
}

std::unique_ptr<QMenu> CatalogPane::ContextMenu(const QModelIndex& index) {
    const QModelIndex item = index.siblingAtColumn(0);
    const QString name = m_model.InsertText(item);
    if (name.isEmpty())
        return nullptr;
    auto menu = std::make_unique<QMenu>();
    menu->addAction(QStringLiteral("名前を挿入(&I)"), this,
                    [this, name] { emit InsertRequested(name); });
    if (const std::optional<Table> table = m_model.TableAt(item)) {
        menu->addAction(QStringLiteral("新しいクエリに SELECT * FROM(&S)"), this,
                        [this, name] { emit NewQueryRequested(u"SELECT * FROM " + name); });
        menu->addAction(QStringLiteral("列の一覧を挿入(&L)"), this,
                        [this, table = *table] { InsertColumnList(table); });
    }
    menu->addAction(QStringLiteral("名前をコピー(&C)"), this,
                    [name] { QApplication::clipboard()->setText(name); });
    return menu;
}

bool CatalogPane::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_tree && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            m_tree->currentIndex().isValid()) {
            Activate(m_tree->currentIndex());
            return true;
        }
    }
    return QDockWidget::eventFilter(watched, event);
}

} // namespace brindle::catalog
