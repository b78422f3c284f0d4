#pragma once

#include "editor/replace_service.h"
#include "shell/cls_msg.h"
#include "shell/services.h"
#include "shell/window_arrangement.h"

#include <QHash>
#include <QList>
#include <QMainWindow>

#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QMdiArea;
class QMenu;
class QToolBar;
class QToolButton;

namespace brindle {

class frmSQL;
class CatalogChoices;
class ThreadedBatchExecutor;
namespace catalog {
class CatalogLoader;
class CatalogPane;
class CatalogTreeModel;
} // namespace catalog
namespace store {
struct JournalProblem;
struct KeptDocument;
} // namespace store

// The main window: a multiple-document frame with the menus, the main and
// grid toolbars, the status bar and the query documents.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(const Services& services, QWidget* parent = nullptr);
    ~frmMain() override;

    // Caption, minimum size, placement and time-out from the settings store.
    void MDIForm_Load();
    void MDIForm_Activate();

    void LoadNewDoc();
    // A kept document (restored after a crash, or reopened after it was
    // closed) as a new document with its text; a file's path stays its caption.
    frmSQL* LoadKeptDoc(const store::KeptDocument& kept, const QString& text);
    // After start-up: offers the queries of instances that ended without
    // closing, and restores those the user chooses.
    void RestoreCrashedQueries();
    // Tells the user once; the journal goes on meanwhile.
    void ShowJournalProblem(const store::JournalProblem& problem);
    // "最近閉じたクエリ(&R)" and its "すべて表示...".
    QMenu* RecentMenu() const { return m_recentMenu; }
    void FillRecentMenu();
    void ShowClosedQueries();
    // "クエリ履歴(&H)...": the history's window, and what the user chose in it.
    void mnuQryHistory_Click();
    // Tells the user once that runs are not being recorded.
    void ShowHistoryProblem(const store::JournalProblem& problem);
    // A new document holding `text`.
    frmSQL* LoadTextDoc(const QString& text);
    void EnabledControls();
    void SetCboTable();
    void cboTable_Click();
    // Where SetCboTable reads the DBMS name of the shared connection; by
    // default what its driver reports. Tests stand in for a server that
    // cannot run here.
    void setDbmsNameSource(std::function<QString()> source);

    // Runs the active document's text as batches; true when every batch ran.
    // With `keepResults`, the document keeps every result and message of the
    // run (its result pane shows them once it is over).
    bool ExecBatches(bool keepResults = false);

    frmSQL* ActiveForm() const;
    QList<frmSQL*> Documents() const;
    QMdiArea* MdiArea() const { return m_mdiArea; }

    QMenu* Menu(const QString& name) const { return m_menus.value(name); }
    QAction* MenuItem(const QString& name) const { return m_menuItems.value(name); }
    QAction* MainButton(const QString& key) const { return m_mainButtons.value(key); }
    QToolButton* GridButton(const QString& key) const { return m_gridButtons.value(key); }
    QToolBar* tlbMain() const { return m_tlbMain; }
    QToolBar* tlbGrid() const { return m_tlbGrid; }
    QComboBox* cboTable() const { return m_cboTable; }
    QLabel* Panel(const QString& key) const { return m_panels.value(key); }
    QString PanelText(const QString& key) const;
    void SetPanelText(const QString& key, const QString& text);

    // Runs the click handler of a menu item, as choosing it does.
    void RunMenuItem(const QString& name);
    void tlbMain_ButtonClick(const QString& key);
    void tlbGrid_ButtonClick(const QString& key);

    void mnuFileConnect_Click();
    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileSave_Click();
    void mnuFileEnd_Click();
    void mnuQryExec_Click();
    void mnuQryArrange_Click();
    void mnuQryTimeout_Click();
    void mnuEditSearch_Click();
    void mnuEditResearch_Click();
    void mnuEditAll_Click();
    void mnuFontFont_Click();
    void mnuToolExcel_Click();
    // Saves the result shown in the active document to a file.
    void mnuToolSaveResult_Click();
    void mnuWindowNewWindow_Click();
    void mnuWindowCascade_Click();
    void mnuWindowTileHorizontal_Click();
    void mnuWindowTileVertical_Click();
    void mnuWindowArrangeIcons_Click();
    void mnuHelpVersion_Click();

    // The editor's commands: the batch at the caret, replace, go to line,
    // line comments, indent and outdent, line numbers and zoom.
    void mnuQryExecBatch_Click();
    void mnuEditReplace_Click();
    void mnuEditGoToLine_Click();
    void mnuEditComment_Click();
    void mnuEditIndent_Click();
    void mnuEditOutdent_Click();
    void mnuViewLineNumbers_Click();
    void mnuViewZoomIn_Click();
    void mnuViewZoomOut_Click();
    void mnuViewZoomReset_Click();
    bool LineNumbersShown() const { return m_lineNumbers; }
    // "オブジェクト(&B)": shows or hides the catalog pane, as kept.
    void mnuViewObjects_Click();
    // "入力候補(&J)" (Ctrl+Space): the completion at the active editor's caret.
    void mnuEditComplete_Click();
    catalog::CatalogPane* CatalogPane() const { return m_catalogPane; }
    catalog::CatalogTreeModel* CatalogModel() const { return m_catalogModel; }
    // The shared connection was made, changed or closed: the catalog follows.
    void CatalogConnectionChanged();
    // Puts text at the caret of the active document (a new one if none).
    void InsertAtCaret(const QString& text);
    // The editor's context menu: its own items, then the editing commands.
    std::unique_ptr<QMenu> EditorContextMenu(frmSQL& doc);

    void Arrange(Arrangement arrangement);

signals:
    // A menu item's handler is about to run (menu, shortcut or toolbar).
    void MenuItemRun(const QString& name);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void BuildMenus();
    void BuildMainToolbar();
    void BuildGridToolbar();
    void BuildStatusBar();
    void BuildRecentMenu();
    void BuildHistoryMenu();
    void BuildResultCommands();
    void BuildEditorCommands();
    void BuildCatalogPane();
    void SaveCatalogPaneShown();
    void AttachCompletion(frmSQL& doc);
    // Line numbers as chosen, and the context menu, for a new document.
    void AttachEditorCommands(frmSQL& doc);
    void ConnectResultCommands(frmSQL& doc);
    // The active document's last run, in the status bar's third panel.
    void ShowRunTotals();
    frmSQL* LoadDoc(const store::KeptDocument* kept, const QString& text);
    void AttachJournal(frmSQL& doc, const store::KeptDocument* kept, const QString& keptText);
    void ReopenClosed(const store::KeptDocument& kept);
    void RefreshWindowList();
    void MDIForm_QueryUnload();
    // The frame's placement, decorations included, from and to the store.
    void RestorePlacement();
    void SavePlacement();
    // Takes the window manager's decorations off the restored size, once
    // they are known, so that the frame is as large as it was stored.
    void FitFrameOnceDecorated();
    void ApplyWindowState(int state);
    int CurrentWindowState() const;
    // Runs a command started by the user; a failure goes to the error box.
    template <typename F> void Guarded(F&& command);

    // The status bar's panel of the run totals, after "MESSAGE" and "DSN".
    static inline const QString RunPanel = QStringLiteral("RUN");

    Services m_services;
    clsMsg mMsg;
    qint32 mlngNewDocNo = 0;
    QMdiArea* m_mdiArea;
    QToolBar* m_tlbMain = nullptr;
    QToolBar* m_tlbGrid = nullptr;
    QComboBox* m_cboTable = nullptr;
    QHash<QString, QMenu*> m_menus;
    QHash<QString, QAction*> m_menuItems;
    QHash<QString, QAction*> m_mainButtons;
    QHash<QString, QToolButton*> m_gridButtons;
    QHash<QString, QLabel*> m_panels;
    QList<QAction*> m_windowListActions;
    bool m_unloaded = false;
    QSize m_frameSizeToFit;
    QMenu* m_recentMenu = nullptr;
    std::function<QString()> m_dbmsName;
    // Runs ExecBatches' batches off the window's thread.
    std::unique_ptr<ThreadedBatchExecutor> m_batchExecutor;
    // Whether the editors show line numbers (kept in the local store).
    bool m_lineNumbers = true;
    // The replace dialog's fields as the user last left them.
    ReplaceRequest m_lastReplace;
    // The catalog of the connected data source, read on its own connection.
    std::unique_ptr<catalog::CatalogLoader> m_catalogLoader;
    catalog::CatalogTreeModel* m_catalogModel = nullptr;
    catalog::CatalogPane* m_catalogPane = nullptr;
    std::unique_ptr<CatalogChoices> m_choices;
};

} // namespace brindle
