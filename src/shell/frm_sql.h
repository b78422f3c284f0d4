#pragma once

#include "data/run_results.h"

#include "files/text_file.h"
#include "shell/pane_layout.h"

#include <QWidget>

#include <memory>

class QKeyEvent;
class QTableView;

namespace brindle {

class MessageBoxService;
class Recordset;
class RecordsetModel;
class EditorColouring;
class EditorZoom;
class LineNumberMargin;
class MessageBoxErrorSink;
class ResultPane;
class RichTextEditor;
struct DropData;
class SplitterStrip;

// A query document: the editor above, the result grid below, a splitter
// between them, and the document's own result set.
class frmSQL : public QWidget {
    Q_OBJECT
public:
    // `boxes` shows the keyword table's error box while colouring.
    explicit frmSQL(MessageBoxService& boxes, QWidget* parent = nullptr);
    ~frmSQL() override;

    // Always the same object for the document's whole life.
    Recordset& RecordSet() const { return *mrsQuery; }
    // The result shown in the result pane: the result set above, or another
    // result of the last run, read-only.
    Recordset& ShownRecordSet() const;

    // Every result and message of the last run, kept until the next.
    RunResults& Run() { return m_run; }
    const RunResults& Run() const { return m_run; }
    // Shows the last run in the result pane, the grid bound again.
    void ShowRun();
    // Selects the text of batch `number` (from 1) of the last run in the
    // editor; nothing when the run has no such batch.
    void SelectBatch(int number);

    // The design client area, 5610 x 4260 twips.
    QSize sizeHint() const override;

    QString Caption() const { return windowTitle(); }
    void setCaption(const QString& caption) { setWindowTitle(caption); }

    // How the document's file was written, so it is saved back the same way.
    const TextFileFormat& FileFormat() const { return m_fileFormat; }
    TextFileFormat& FileFormat() { return m_fileFormat; }

    // Binds the grid to the document's result set again, so it shows what the
    // result set now holds, standing on its current record.
    void BindGrid();
    // Shows the result set's current record selected and scrolled into view;
    // nothing is selected at BOF or EOF. Moves of the result set call this.
    void SyncGridToRecord();

    // Writes the grid's pending edits back (Enter on the row); a failure is
    // shown and the edits stay pending. True when nothing is left pending.
    bool CommitGridEdit();
    // Discards the grid's pending edits (Esc on the row).
    void CancelGridEdit();

    RichTextEditor* txtQry() const { return m_txtQry; }
    // The editor's line numbers and the size its text is shown in.
    LineNumberMargin* lineNumbers() const { return m_lineNumbers; }
    EditorZoom* zoom() const { return m_zoom; }
    QTableView* grdQry() const { return m_grdQry; }
    // The tab strip and what it shows, where the layout puts the grid.
    ResultPane* resultPane() const { return m_resultPane; }
    SplitterStrip* imgSplitter() const { return m_imgSplitter; }
    QWidget* picSplitter() const { return m_picSplitter; }
    const SqlPaneLayout& PaneLayout() const { return m_layout; }

    // Outer height of the document window (its frame included) and inner
    // size, in twips.
    double OuterHeightTwips() const;
    double ScaleWidthTwips() const;
    double ScaleHeightTwips() const;

    // The splitter drag, in twips relative to the strip.
    void imgSplitter_MouseDown();
    void imgSplitter_MouseMove(double yTwips);
    void imgSplitter_MouseUp();

    // Every change of the editor's content colours the whole content again.
    void txtQry_Change();

    // A file dropped on the editor replaces its text (the caption stays).
    void txtQry_OLEDragDrop(const DropData& data);

signals:
    // The document has closed (its result set closed, the count lowered).
    void Unloaded();
    // The user asked to save the result shown (its context menu).
    void SaveResultRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_QueryUnload();
    void Form_Resize();
    void ApplyLayout();
    void grdQry_RowPicked(int row);
    bool grdQry_KeyPress(const QKeyEvent& key);

    MessageBoxService& m_boxes;
    std::unique_ptr<Recordset> mrsQuery;
    SqlPaneLayout m_layout; // holds mblnDragging
    RichTextEditor* m_txtQry;
    QTableView* m_grdQry;
    RecordsetModel* m_gridModel;
    ResultPane* m_resultPane;
    RunResults m_run;
    bool m_syncingGrid = false; // the grid is being moved to the current record
    SplitterStrip* m_imgSplitter;
    QWidget* m_picSplitter;
    TextFileFormat m_fileFormat;
    bool m_unloaded = false;
    std::unique_ptr<MessageBoxErrorSink> m_colourErrors;
    std::unique_ptr<EditorColouring> m_colouring;
    LineNumberMargin* m_lineNumbers;
    EditorZoom* m_zoom;
};

} // namespace brindle
