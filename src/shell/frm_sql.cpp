#include "shell/frm_sql.h"

#include "core/error.h"
#include "core/error_steps.h"
#include "data/grid_cell_delegate.h"
#include "data/grid_sizing.h"
#include "data/recordset.h"
#include "data/recordset_helpers.h"
#include "data/recordset_model.h"
#include "data/result_pane.h"
#include "editor/bracket_highlighter.h"
#include "editor/editor_colouring.h"
#include "editor/editor_commands.h"
#include "editor/editor_zoom.h"
#include "editor/line_number_margin.h"
#include "editor/rich_text_editor.h"
#include "files/text_file.h"
#include "shell/cls_msg.h"
#include "shell/message_error_sink.h"
#include "shell/process_state.h"
#include "shell/splitter_strip.h"
#include "shell/twips_screen.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QScopedValueRollback>
#include <QTableView>
#include <QTextBlock>
#include <QTimer>

#include <algorithm>

namespace brindle {

frmSQL::frmSQL(MessageBoxService& boxes, QWidget* parent)
    : QWidget(parent), m_boxes(boxes), mrsQuery(std::make_unique<Recordset>()),
      m_txtQry(new RichTextEditor(this)), m_grdQry(new QTableView(this)),
      m_gridModel(new RecordsetModel(this)), m_resultPane(nullptr),
      m_imgSplitter(new SplitterStrip(this)), m_picSplitter(new QWidget(this)),
      m_colourErrors(std::make_unique<MessageBoxErrorSink>(boxes)),
      m_colouring(std::make_unique<EditorColouring>(*m_txtQry, *m_colourErrors)),
      m_lineNumbers(new LineNumberMargin(*m_txtQry)), m_zoom(new EditorZoom(*m_txtQry)) {
    new BracketHighlighter(*m_txtQry);
    new IndentKeys(*m_txtQry);
    connect(m_zoom, &EditorZoom::Changed, m_lineNumbers, &LineNumberMargin::Refresh);
    m_txtQry->setObjectName(QStringLiteral("txtQry"));
    m_grdQry->setObjectName(QStringLiteral("grdQry"));
    m_imgSplitter->setObjectName(QStringLiteral("imgSplitter"));
    m_picSplitter->setObjectName(QStringLiteral("picSplitter"));

    // A million rows must stay responsive: fixed row heights, no per-row work.
    FitRowHeightToFont(*m_grdQry);
    m_grdQry->installEventFilter(this);
    m_grdQry->setModel(m_gridModel);
    m_grdQry->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Several rows can be taken for copying; the current one is the record.
    m_grdQry->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_grdQry->setItemDelegate(new GridCellDelegate(m_grdQry));
    m_grdQry->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::AnyKeyPressed);
    connect(m_gridModel, &RecordsetModel::EditRefused, this, [this](const QString& description) {
        // Shown once the editor has closed, not from inside its commit.
        QTimer::singleShot(0, this,
                           [this, description] { clsMsg(m_boxes).ShowError(description); });
    });
    connect(m_grdQry->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    grdQry_RowPicked(current.row());
            });

    m_resultPane = new ResultPane(m_grdQry, *mrsQuery, this);
    m_resultPane->setObjectName(QStringLiteral("picResults"));
    connect(m_resultPane, &ResultPane::BatchActivated, this,
            [this](int batch) { SelectBatch(batch); });
    connect(m_resultPane, &ResultPane::SaveRequested, this, [this] { emit SaveResultRequested(); });

    QPalette grey = m_picSplitter->palette();
    grey.setColor(QPalette::Window, QColor(128, 128, 128));
    m_picSplitter->setPalette(grey);
    m_picSplitter->setAutoFillBackground(true);
    m_picSplitter->hide();

    QFont designFont(QStringLiteral("ＭＳ ゴシック"));
    designFont.setPointSizeF(9.75);
    setFont(designFont);

    resize(sizeHint());

    connect(m_imgSplitter, &SplitterStrip::MouseDown, this, [this] { imgSplitter_MouseDown(); });
    connect(m_imgSplitter, &SplitterStrip::MouseMove, this, [this](int y) {
        imgSplitter_MouseMove(PixelsToTwips(y, ScreenTwipsPerPixel(this).y));
    });
    connect(m_imgSplitter, &SplitterStrip::MouseUp, this, [this] { imgSplitter_MouseUp(); });
    connect(m_txtQry, &RichTextEditor::Change, this, [this] { txtQry_Change(); });
    connect(m_txtQry, &RichTextEditor::OLEDragDrop, this,
            [this](const DropData& data) { txtQry_OLEDragDrop(data); });
    ApplyLayout();
}

frmSQL::~frmSQL() {
    // The result set goes before the grid's widgets do.
    m_gridModel->Bind(nullptr);
}

void frmSQL::BindGrid() {
    m_gridModel->Bind(mrsQuery.get());
    // Numbers, dates and times fit their widest value; texts are sized from
    // the first rows only. A million rows bind nearly as fast as ten.
    FitColumns(*m_grdQry, 100, m_grdQry->fontMetrics().averageCharWidth() * 40);
    SyncGridToRecord();
}

Recordset& frmSQL::ShownRecordSet() const {
    return m_resultPane->ShownRecordSet();
}

void frmSQL::ShowRun() {
    BindGrid();
    m_resultPane->ShowRun(m_run, mrsQuery->State() != 0);
}

void frmSQL::SelectBatch(int number) {
    for (const RunBatch& batch : m_run.Batches()) {
        if (batch.number != number)
            continue;
        // The batch without the line ends around it; the text may have
        // changed since the run, and the editor clamps.
        const QString text = m_txtQry->Text();
        qsizetype start = std::clamp<qsizetype>(batch.place.start, 0, text.size());
        qsizetype end = std::clamp<qsizetype>(start + batch.place.length, start, text.size());
        const auto lineEnd = [&text](qsizetype i) {
            return text[i] == u'\r' || text[i] == u'\n';
        };
        while (start < end && lineEnd(start))
            ++start;
        while (end > start && lineEnd(end - 1))
            --end;
        Step([&] {
            m_txtQry->setSelStart(static_cast<int>(start));
            m_txtQry->setSelLength(static_cast<int>(end - start));
        });
        m_txtQry->SetFocus();
        return;
    }
}

void frmSQL::SyncGridToRecord() {
    if (m_resultPane->ShownGrid() != m_grdQry) {
        m_resultPane->SyncShownGrid();
        return;
    }
    const QScopedValueRollback<bool> syncing(m_syncingGrid, true);
    QItemSelectionModel* selection = m_grdQry->selectionModel();
    qsizetype row = -1;
    try {
        if (mrsQuery->State() != 0)
            row = mrsQuery->AbsolutePosition() - 1;
    } catch (const Error&) {
    }
    const int columns = m_gridModel->columnCount();
    if (row < 0 || row >= m_gridModel->rowCount() || columns == 0) {
        selection->clearSelection();
        selection->clearCurrentIndex();
        return;
    }
    const int column = std::clamp(selection->currentIndex().column(), 0, columns - 1);
    const QModelIndex current = m_gridModel->index(static_cast<int>(row), column);
    selection->setCurrentIndex(current,
                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_grdQry->scrollTo(current);
}

void frmSQL::grdQry_RowPicked(int row) {
    // The grid only follows the record while it is being synchronised.
    if (m_syncingGrid)
        return;
    const qsizetype left = mrsQuery->State() != 0 ? mrsQuery->EditedRow() : -1;
    try {
        mrsQuery->MoveTo(row);
    } catch (const Error& e) {
        // A result set closed since the grid was bound has no record to move
        // to. Edits that could not be written keep the grid on their record;
        // both happen after this change of the current row has finished.
        if (left >= 0) {
            const QString description = e.description();
            QTimer::singleShot(0, this, [this, description] {
                SyncGridToRecord();
                clsMsg(m_boxes).ShowError(description);
            });
        }
        return;
    }
    if (left >= 0 && left != row)
        m_gridModel->RowChanged(left);
}

bool frmSQL::CommitGridEdit() {
    if (mrsQuery->State() == 0 || mrsQuery->EditedRow() < 0)
        return true;
    const qsizetype row = mrsQuery->EditedRow();
    bool written = true;
    try {
        mrsQuery->Update();
    } catch (const Error& e) {
        written = false;
        clsMsg(m_boxes).ShowError(e.description());
    }
    m_gridModel->RowChanged(row);
    return written;
}

void frmSQL::CancelGridEdit() {
    if (mrsQuery->State() == 0)
        return;
    const qsizetype row = mrsQuery->EditedRow();
    Step([&] { mrsQuery->CancelUpdate(); });
    m_gridModel->RowChanged(row);
}

bool frmSQL::grdQry_KeyPress(const QKeyEvent& key) {
    // While a cell editor is open its own keys are its business.
    if (m_grdQry->indexWidget(m_grdQry->currentIndex()))
        return false;
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    if ((key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) &&
        modifiers == Qt::NoModifier) {
        CommitGridEdit();
        return true;
    }
    if (key.key() == Qt::Key_Escape && modifiers == Qt::NoModifier) {
        CancelGridEdit();
        return true;
    }
    if (key.key() == Qt::Key_0 && modifiers == Qt::ControlModifier) {
        // Ctrl+0 sets the current cell to NULL, which no typed text can say
        // in a text field.
        const QModelIndex cell = m_grdQry->currentIndex();
        if (cell.isValid())
            m_gridModel->setData(cell, QVariant(), Qt::EditRole);
        return true;
    }
    return false;
}

bool frmSQL::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_grdQry && event->type() == QEvent::FontChange)
        FitRowHeightToFont(*m_grdQry);
    if (watched == m_grdQry && event->type() == QEvent::KeyPress &&
        grdQry_KeyPress(static_cast<const QKeyEvent&>(*event)))
        return true;
    return QWidget::eventFilter(watched, event);
}

QSize frmSQL::sizeHint() const {
    const TwipsPerPixel tpp = ScreenTwipsPerPixel(this);
    return {TwipsToPixels(5610, tpp.x), TwipsToPixels(4260, tpp.y)};
}

double frmSQL::OuterHeightTwips() const {
    const QWidget* frame = qobject_cast<const QMdiSubWindow*>(parentWidget());
    const int pixels = frame ? frame->height() : height();
    return PixelsToTwips(pixels, ScreenTwipsPerPixel(this).y);
}

double frmSQL::ScaleWidthTwips() const {
    return PixelsToTwips(width(), ScreenTwipsPerPixel(this).x);
}

double frmSQL::ScaleHeightTwips() const {
    return PixelsToTwips(height(), ScreenTwipsPerPixel(this).y);
}

void frmSQL::closeEvent(QCloseEvent* event) {
    Form_QueryUnload();
    event->accept();
}

void frmSQL::Form_QueryUnload() {
    // A window can be asked to close more than once; it unloads once.
    if (m_unloaded)
        return;
    m_unloaded = true;
    CloseRecordSet(*mrsQuery);
    DecrementDocCount();
    emit Unloaded();
}

void frmSQL::txtQry_Change() {
    m_txtQry->FreezePainting();
    try {
        const int caret = m_txtQry->SelStart();
        m_colouring->Colour();
        m_txtQry->setSelStart(caret);
    } catch (const Error&) {
    } catch (const std::bad_alloc&) {
    }
    m_txtQry->ResumePainting();
}

void frmSQL::txtQry_OLEDragDrop(const DropData& data) {
    // Every failure is ignored: the editor keeps what it had.
    try {
        if (data.FilesCount() < 1)
            return;
        const QString path = data.Files(1);
        if (path.isEmpty() || !QFileInfo(path).isFile())
            return;
        const TextFileContent content = ReadTextFileContent(path);
        m_txtQry->setText(content.text);
    } catch (const Error&) {
    } catch (const std::bad_alloc&) {
    }
}

void frmSQL::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmSQL::Form_Resize() {
    m_layout.FormResize(ScaleWidthTwips(), ScaleHeightTwips(), OuterHeightTwips());
    ApplyLayout();
}

void frmSQL::imgSplitter_MouseDown() {
    m_layout.SplitterMouseDown();
    ApplyLayout();
}

void frmSQL::imgSplitter_MouseMove(double yTwips) {
    m_layout.SplitterMouseMove(yTwips, OuterHeightTwips());
    ApplyLayout();
}

void frmSQL::imgSplitter_MouseUp() {
    m_layout.SplitterMouseUp(ScaleHeightTwips(), OuterHeightTwips());
    ApplyLayout();
}

void frmSQL::ApplyLayout() {
    const TwipsPerPixel tpp = ScreenTwipsPerPixel(this);
    const auto place = [&tpp](QWidget* widget, const TwipsRect& r) {
        widget->setGeometry(TwipsToPixels(r.left, tpp.x), TwipsToPixels(r.top, tpp.y),
                            TwipsToPixels(r.width, tpp.x), TwipsToPixels(r.height, tpp.y));
    };
    place(m_txtQry, m_layout.txtQry());
    place(m_resultPane, m_layout.grdQry());
    place(m_imgSplitter, m_layout.imgSplitter());
    place(m_picSplitter, m_layout.picSplitter());
    m_picSplitter->setVisible(m_layout.picSplitterVisible());
    m_imgSplitter->raise();
    m_picSplitter->raise();
}

} // namespace brindle
