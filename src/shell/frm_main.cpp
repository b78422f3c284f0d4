#include "shell/frm_main.h"

#include "arrange/cls_arrange_query.h"
#include "colour/frm_search.h"
#include "core/app_info.h"
#include "core/error.h"
#include "core/error_steps.h"
#include "core/numeric_text.h"
#include "core/settings_store.h"
#include "data/catalog_loader.h"
#include "shell/catalog_choices.h"
#include "data/command.h"
#include "data/connection.h"
#include "data/frm_connect.h"
#include "data/frm_timeout.h"
#include "data/recordset_helpers.h"
#include "data/threaded_batch_executor.h"
#include "files/font_dialog.h"
#include "files/sql_files.h"
#include "shell/frm_about.h"
#include "shell/frm_sql.h"
#include "shell/main_commands.h"
#include "shell/message_error_sink.h"
#include "shell/process_state.h"
#include "editor/rich_text_editor.h"
#include "shell/twips_screen.h"
#include "store/kept_document.h"
#include "store/query_journal.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTableView>
#include <QToolBar>

#include <limits>

namespace brindle {

namespace {

// The design client area of the frame, in twips.
constexpr double DesignClientWidth = 7275;
constexpr double DesignClientHeight = 4860;

QString Setting(const char16_t* section, const char16_t* key, const char16_t* fallback) {
    return GetSetting(AppTitle(), QString::fromUtf16(section), QString::fromUtf16(key),
                      QString::fromUtf16(fallback));
}

void StoreSetting(const char16_t* section, const char16_t* key, const QString& value) {
    SaveSetting(AppTitle(), QString::fromUtf16(section), QString::fromUtf16(key), value);
}

} // namespace

frmMain::frmMain(const Services& services, QWidget* parent)
    : QMainWindow(parent), m_services(services), mMsg(*services.messages),
      m_mdiArea(new QMdiArea(this)),
      m_batchExecutor(std::make_unique<ThreadedBatchExecutor>(this)) {
    setObjectName(QStringLiteral("frmMain"));
    m_mdiArea->setObjectName(QStringLiteral("mdiArea"));
    m_mdiArea->setBackground(palette().brush(QPalette::Dark));
    setCentralWidget(m_mdiArea);
    BuildMenus();
    BuildMainToolbar();
    BuildGridToolbar();
    BuildStatusBar();
    BuildRecentMenu();
    BuildHistoryMenu();
    BuildResultCommands();
    BuildEditorCommands();
    BuildCatalogPane();
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, [this] { RefreshWindowList(); });
}

frmMain::~frmMain() = default;

void frmMain::MDIForm_Load() {
    Step([this] { setWindowTitle(AppTitle()); });
    Step([this] {
        // The minimum is the design size: the design client area plus menus,
        // toolbars and status bar, in pixels.
        const TwipsPerPixel tpp = ScreenTwipsPerPixel(this);
        m_mdiArea->setMinimumSize(TwipsToPixels(DesignClientWidth, tpp.x),
                                  TwipsToPixels(DesignClientHeight, tpp.y));
        const QSize design = minimumSizeHint();
        const long long widthTwips = std::llround(PixelsToTwips(design.width(), tpp.x));
        const long long heightTwips = std::llround(PixelsToTwips(design.height(), tpp.y));
        gptMinTrack.x = static_cast<qint32>(widthTwips / std::llround(tpp.x));
        gptMinTrack.y = static_cast<qint32>(heightTwips / std::llround(tpp.y));
        m_mdiArea->setMinimumSize(0, 0);
        setMinimumSize(gptMinTrack.x, gptMinTrack.y);
    });
    Step([this] { glngMainHwnd = this; });

    RestorePlacement();
    Step(
        [] { gcmdDB->setCommandTimeout(WholeNumberOr(Setting(u"QUERY", u"TIMEOUT", u"30"), 30)); });
}

void frmMain::MDIForm_Activate() {
    EnabledControls();
}

bool frmMain::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        Step([this] { MDIForm_Activate(); });
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowStateChange:
    case QEvent::WindowActivate:
    case QEvent::UpdateRequest:
        FitFrameOnceDecorated();
        break;
    default:
        break;
    }
    return QMainWindow::event(event);
}

void frmMain::closeEvent(QCloseEvent* event) {
    // A batch still running holds the document's result set; the window
    // closes once the run is over (or cancelled).
    if (m_batchExecutor->Running()) {
        event->ignore();
        return;
    }
    MDIForm_QueryUnload();
    // Then every document closes; nobody is asked to save anything, and the
    // journal keeps each text as a closed query.
    m_mdiArea->closeAllSubWindows();
    if (m_services.journal)
        m_services.journal->EndSession();
    event->accept();
}

void frmMain::MDIForm_QueryUnload() {
    if (m_unloaded)
        return;
    m_unloaded = true;
    SavePlacement();
    SaveCatalogPaneShown();
    Step([&] { StoreSetting(u"QUERY", u"TIMEOUT", QString::number(gcmdDB->CommandTimeout())); });
}

void frmMain::LoadNewDoc() {
    LoadDoc(nullptr, QString());
}

frmSQL* frmMain::LoadDoc(const store::KeptDocument* kept, const QString& text) {
    if (mlngNewDocNo == std::numeric_limits<qint32>::max())
        throw OverflowError();
    ++mlngNewDocNo;

    auto* doc = new frmSQL(*m_services.messages);
    doc->setCaption(QStringLiteral("無題") + QString::number(mlngNewDocNo));
    QMdiSubWindow* sub = m_mdiArea->addSubWindow(doc);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(windowIcon());
    sub->resize(sub->sizeHint());
    connect(doc, &frmSQL::Unloaded, this, [this] { EnabledControls(); });
    ConnectResultCommands(*doc);
    connect(doc, &QWidget::windowTitleChanged, this, [this] { RefreshWindowList(); });
    sub->show();
    m_mdiArea->setActiveSubWindow(sub);

    RichTextEditor* editor = doc->txtQry();
    editor->setFontSize(WholeNumberOr(Setting(u"FONT", u"SIZE", u"10"), 10));
    editor->setFontName(Setting(u"FONT", u"NAME", u"ＭＳ ゴシック"));
    editor->setFontBold(BoolFromText(Setting(u"FONT", u"BOLD", u"False")));
    editor->setFontItalic(BoolFromText(Setting(u"FONT", u"ITALIC", u"False")));

    QFont gridFont = doc->grdQry()->font();
    gridFont.setPointSizeF(editor->FontSize());
    gridFont.setFamily(editor->FontName());
    gridFont.setBold(editor->FontBold());
    gridFont.setItalic(editor->FontItalic());
    doc->grdQry()->setFont(gridFont);

    if (!kept && !text.isEmpty())
        editor->setText(text);
    if (kept) {
        editor->setText(text);
        // A file's document comes back under its path; an untitled one under
        // the new number.
        if (QDir::isAbsolutePath(kept->caption))
            doc->setCaption(kept->caption);
    }
    AttachJournal(*doc, kept, text);
    AttachEditorCommands(*doc);

    IncrementDocCount();
    EnabledControls();
    return doc;
}

void frmMain::EnabledControls() {
    const bool enabled = gintDocCount > 0;
    for (const QString& name : DocumentMenuItems()) {
        if (QAction* item = MenuItem(name))
            item->setEnabled(enabled);
        if (name == QStringLiteral("mnuFileSave")) {
            for (const QString& menu : DocumentMenus()) {
                if (QMenu* m = Menu(menu)) {
                    m->setEnabled(enabled);
                    m->menuAction()->setEnabled(enabled);
                }
            }
        }
    }
    for (const QString& key : DocumentToolbarKeys()) {
        if (QAction* button = MainButton(key))
            button->setEnabled(enabled);
    }
}

frmSQL* frmMain::ActiveForm() const {
    QMdiSubWindow* sub = m_mdiArea->activeSubWindow();
    if (!sub) {
        // The frame keeps no active child while it is itself inactive.
        const QList<QMdiSubWindow*> list =
            m_mdiArea->subWindowList(QMdiArea::ActivationHistoryOrder);
        if (!list.isEmpty())
            sub = list.last();
    }
    return sub ? qobject_cast<frmSQL*>(sub->widget()) : nullptr;
}

QList<frmSQL*> frmMain::Documents() const {
    QList<frmSQL*> docs;
    const QList<QMdiSubWindow*> list = m_mdiArea->subWindowList(QMdiArea::CreationOrder);
    for (QMdiSubWindow* sub : list) {
        if (auto* doc = qobject_cast<frmSQL*>(sub->widget()))
            docs.append(doc);
    }
    return docs;
}

QString frmMain::PanelText(const QString& key) const {
    const QLabel* panel = Panel(key);
    return panel ? panel->text() : QString();
}

void frmMain::SetPanelText(const QString& key, const QString& text) {
    if (QLabel* panel = Panel(key))
        panel->setText(text);
}

template <typename F> void frmMain::Guarded(F&& command) {
    try {
        command();
    } catch (const Error& e) {
        mMsg.ShowError(e.description());
    }
}

void frmMain::mnuFileConnect_Click() {
    Step([this] { SetPanelText(QStringLiteral("MESSAGE"), QString()); });
    Step([this] {
        if (frmSQL* doc = ActiveForm())
            CloseRecordSet(doc->RecordSet());
    });
    QString remembered;
    Step([&] { remembered = gcnDB->ConnectionString(); });
    Step([this] {
        frmConnect dialog(*m_services.messages, this);
        m_services.modal->Run(dialog);
    });
    Step([this] { SetPanelText(QStringLiteral("DSN"), gstrDSN); });
    Step([&] {
        if (gcnDB->ConnectionString() != remembered)
            SetCboTable();
    });
    CatalogConnectionChanged();
}

void frmMain::mnuFileNew_Click() {
    Guarded([this] { LoadNewDoc(); });
}

void frmMain::mnuWindowNewWindow_Click() {
    Guarded([this] { LoadNewDoc(); });
}

void frmMain::mnuFileEnd_Click() {
    close();
}

void frmMain::mnuFileOpen_Click() {
    Guarded([this] {
        const QString initial = Setting(u"OPEN_SQL", u"OPEN_SQL", u"");
        QString path;
        if (!ShowOpenDialog(*m_services.files, this, path, initial))
            return;
        if (gintDocCount < 1)
            LoadNewDoc();
        frmSQL* doc = ActiveForm();
        if (!doc)
            return;
        // A file that cannot be read leaves the document as it was.
        const std::optional<TextFileContent> content = ReadTextFile(path);
        if (!content)
            return;
        doc->setCaption(path);
        doc->FileFormat() = content->format;
        doc->txtQry()->setText(content->text);
        Step([&] { StoreSetting(u"OPEN_SQL", u"OPEN_SQL", path); });
    });
}

void frmMain::mnuFileSave_Click() {
    Guarded([this] {
        frmSQL* doc = ActiveForm();
        if (!doc)
            return;
        const QString initial = doc->Caption().startsWith(QStringLiteral("無題"))
                                    ? Setting(u"SAVE_SQL", u"SAVE_SQL", u"")
                                    : doc->Caption();
        QString path;
        if (!ShowSaveDialog(*m_services.files, this, path, initial))
            return;
        // A failed save keeps the caption and the remembered path as they were.
        if (!WriteTextFile(path, doc->txtQry()->Text(), doc->FileFormat()))
            return;
        doc->setCaption(path);
        Step([&] { StoreSetting(u"SAVE_SQL", u"SAVE_SQL", path); });
    });
}

void frmMain::mnuFontFont_Click() {
    frmSQL* doc = ActiveForm();
    if (!doc)
        return;
    ShowFontDialog(*m_services.fonts, this, *doc->txtQry(), doc->grdQry());
    SaveEditorFont(*doc->txtQry());
}

void frmMain::mnuQryArrange_Click() {
    frmSQL* doc = ActiveForm();
    if (!doc)
        return;
    MessageBoxErrorSink errors(*m_services.messages);
    clsArrangeQuery arrangement(errors);
    const QString query = doc->txtQry()->Text();
    const QString arranged = arrangement.CArrange(query);
    // A failed arrangement (already reported) never replaces the user's query.
    if (arranged.isEmpty() && !query.isEmpty())
        return;
    doc->txtQry()->ReplaceText(arranged);
}

void frmMain::mnuEditSearch_Click() {
    frmSQL* doc = ActiveForm();
    if (!doc)
        return;
    {
        frmSearch dialog(this);
        m_services.modal->Run(dialog);
    }
    // Cancel searches too, with the word and option stored before.
    RichTextEditor& editor = *doc->txtQry();
    SearchWord(editor, editor.SelStart() + 1, gstrSearchWord, gblnUpperConv);
}

void frmMain::mnuEditResearch_Click() {
    frmSQL* doc = ActiveForm();
    if (!doc)
        return;
    if (gstrSearchWord.isEmpty()) {
        frmSearch dialog(this);
        m_services.modal->Run(dialog);
    }
    RichTextEditor& editor = *doc->txtQry();
    SearchWord(editor, editor.SelStart() + editor.SelLength() + 1, gstrSearchWord, gblnUpperConv);
}

void frmMain::mnuEditAll_Click() {
    Guarded([this] {
        if (frmSQL* doc = ActiveForm()) {
            doc->txtQry()->setSelStart(0);
            doc->txtQry()->setSelLength(doc->txtQry()->TextLength());
        }
    });
}

void frmMain::mnuWindowCascade_Click() {
    Arrange(Arrangement::Cascade);
}
void frmMain::mnuWindowTileHorizontal_Click() {
    Arrange(Arrangement::TileHorizontal);
}
void frmMain::mnuWindowTileVertical_Click() {
    Arrange(Arrangement::TileVertical);
}
void frmMain::mnuWindowArrangeIcons_Click() {
    Arrange(Arrangement::ArrangeIcons);
}

void frmMain::Arrange(Arrangement arrangement) {
    const QList<QMdiSubWindow*> all = m_mdiArea->subWindowList(QMdiArea::CreationOrder);
    QList<QMdiSubWindow*> open;
    QList<QMdiSubWindow*> icons;
    for (QMdiSubWindow* sub : all) {
        if (sub->isMinimized())
            icons.append(sub);
        else if (sub->isVisible())
            open.append(sub);
    }
    const QRect viewport = m_mdiArea->viewport()->rect();
    if (arrangement == Arrangement::Cascade) {
        m_mdiArea->cascadeSubWindows();
        return;
    }
    if (arrangement == Arrangement::ArrangeIcons) {
        if (icons.isEmpty())
            return;
        const QSize iconSize = icons.first()->size();
        const std::vector<QRect> places =
            IconPositions(static_cast<int>(icons.size()), viewport, iconSize);
        for (qsizetype i = 0; i < icons.size(); ++i)
            icons[i]->move(places[static_cast<size_t>(i)].topLeft());
        return;
    }
    // Tiling leaves the row of icons at the bottom free.
    QRect area = viewport;
    if (!icons.isEmpty())
        area.setBottom(area.bottom() - icons.first()->height());
    const int count = static_cast<int>(open.size());
    const std::vector<QRect> places = arrangement == Arrangement::TileHorizontal
                                          ? TileStacked(count, area)
                                          : TileSideBySide(count, area);
    for (int i = 0; i < count; ++i) {
        QMdiSubWindow* sub = open[i];
        if (sub->isMaximized())
            sub->showNormal();
        sub->setGeometry(places[static_cast<size_t>(i)]);
    }
}

void frmMain::mnuQryTimeout_Click() {
    frmTimeout dialog(*gcmdDB, this);
    m_services.modal->Run(dialog);
}

void frmMain::mnuHelpVersion_Click() {
    frmAbout about(this);
    m_services.modal->Run(about);
}

} // namespace brindle
