#include "core/error.h"
#include "data/catalog_loader.h"
#include "data/catalog_pane.h"
#include "data/catalog_tree_model.h"
#include "data/connection.h"
#include "editor/completion_popup.h"
#include "editor/rich_text_editor.h"
#include "shell/catalog_choices.h"
#include "shell/frm_main.h"
#include "shell/frm_sql.h"
#include "shell/process_state.h"
#include "store/preferences.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>

namespace brindle {

namespace {

const QString ObjectsPanePreference = QStringLiteral("catalog.pane_shown");

} // namespace

void frmMain::BuildCatalogPane() {
    m_catalogLoader = std::make_unique<catalog::CatalogLoader>();
    m_catalogModel = new catalog::CatalogTreeModel(this);
    m_catalogPane = new catalog::CatalogPane(*m_catalogLoader, *m_catalogModel, this);
    addDockWidget(Qt::LeftDockWidgetArea, m_catalogPane);
    // Hidden until the user first asks for it: the window starts small.
    bool shown = false;
    if (m_services.preferences) {
        if (const auto stored = m_services.preferences->Read(ObjectsPanePreference))
            shown = *stored == QStringLiteral("1");
    }
    m_catalogPane->setVisible(shown);

    if (QMenu* view = Menu(QStringLiteral("mnuView"))) {
        QAction* separator = view->addSeparator();
        separator->setObjectName(QStringLiteral("mnuViewBar2"));
        m_menuItems.insert(separator->objectName(), separator);
        auto* objects = new QAction(QStringLiteral("オブジェクト(&B)"), view);
        objects->setObjectName(QStringLiteral("mnuViewObjects"));
        objects->setCheckable(true);
        objects->setChecked(shown);
        view->addAction(objects);
        m_menuItems.insert(objects->objectName(), objects);
        connect(objects, &QAction::triggered, this,
                [this] { RunMenuItem(QStringLiteral("mnuViewObjects")); });
        // The pane's own close button unticks the item too.
        connect(m_catalogPane, &QDockWidget::visibilityChanged, objects,
                [this, objects] { objects->setChecked(!m_catalogPane->isHidden()); });
    }
    m_choices = std::make_unique<CatalogChoices>(*m_catalogModel);
    // Columns read for the completion fill an open list.
    connect(m_catalogLoader.get(), &catalog::CatalogLoader::ColumnsLoaded, this, [this] {
        for (frmSQL* doc : Documents()) {
            if (auto* popup = doc->txtQry()->findChild<completion::CompletionPopup*>())
                popup->ChoicesChanged();
        }
    });
    if (QMenu* edit = Menu(QStringLiteral("mnuEdit"))) {
        auto* complete = new QAction(QStringLiteral("入力候補(&J)"), edit);
        complete->setObjectName(QStringLiteral("mnuEditComplete"));
        complete->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Space));
        complete->setShortcutContext(Qt::WindowShortcut);
        edit->insertAction(MenuItem(QStringLiteral("mnuEditBar2")), complete);
        m_menuItems.insert(complete->objectName(), complete);
        connect(complete, &QAction::triggered, this,
                [this] { RunMenuItem(QStringLiteral("mnuEditComplete")); });
    }
    connect(m_catalogPane, &catalog::CatalogPane::InsertRequested, this,
            [this](const QString& text) { InsertAtCaret(text); });
    connect(m_catalogPane, &catalog::CatalogPane::NewQueryRequested, this,
            [this](const QString& text) {
                try {
                    LoadTextDoc(text);
                } catch (const Error& e) {
                    mMsg.ShowError(e.description());
                }
            });
}

void frmMain::mnuViewObjects_Click() {
    const bool shown = m_catalogPane->isHidden();
    m_catalogPane->setVisible(shown);
    if (shown)
        m_catalogPane->filterBox()->setFocus();
    SaveCatalogPaneShown();
}

void frmMain::mnuEditComplete_Click() {
    if (frmSQL* doc = ActiveForm()) {
        if (auto* popup = doc->txtQry()->findChild<completion::CompletionPopup*>())
            popup->OpenAsked();
    }
}

void frmMain::AttachCompletion(frmSQL& doc) {
    if (m_choices)
        new completion::CompletionPopup(*doc.txtQry(), *m_choices);
}

void frmMain::SaveCatalogPaneShown() {
    if (!m_services.preferences)
        return;
    try {
        m_services.preferences->Write(ObjectsPanePreference, m_catalogPane->isHidden()
                                                                 ? QStringLiteral("0")
                                                                 : QStringLiteral("1"));
    } catch (const Error&) {
        // Not kept: the pane starts as it did before, nothing else is lost.
    }
}

void frmMain::CatalogConnectionChanged() {
    if (!m_catalogPane)
        return;
    const bool open = gcnDB && gcnDB->State() != 0;
    m_catalogPane->ShowConnection(open ? gcnDB->ConnectionString() : QString());
}

void frmMain::InsertAtCaret(const QString& text) {
    try {
        if (gintDocCount < 1)
            LoadNewDoc();
        frmSQL* doc = ActiveForm();
        if (!doc)
            return;
        RichTextEditor* editor = doc->txtQry();
        editor->SetFocus();
        editor->InsertPlainText(text);
    } catch (const Error& e) {
        mMsg.ShowError(e.description());
    }
}

} // namespace brindle
