// The editor's commands from the main window: their menu items, replace
// through its dialog, go to line, the batch at the caret, the line numbers'
// choice and zoom against the font settings.
#include "sqlite_window_fixture.h"

#include "data/run_results.h"
#include "editor/editor_zoom.h"
#include "editor/frm_go_to_line.h"
#include "editor/line_number_margin.h"
#include "editor/rich_text_editor.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QTest>

namespace brindle::test {
namespace {

QString Q(const char16_t* s) {
    return QString::fromUtf16(s);
}

class EditorMenuCommands : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Open().LoadNewDoc();
        doc = window->ActiveForm();
        ASSERT_NE(doc, nullptr);
        editor = doc->txtQry();
    }
    int At(const char16_t* word) const { return static_cast<int>(editor->Text().indexOf(Q(word))); }
    // Runs the replace dialog with the buttons pressed by `press`.
    QStringList Replacing(const std::function<QStringList(ReplaceActions&)>& press) {
        QStringList answers;
        doubles.replace.script = [&](ReplaceActions& actions) {
            answers = press(actions);
        };
        window->RunMenuItem(QStringLiteral("mnuEditReplace"));
        return answers;
    }
    std::vector<QString> Boxes() const {
        std::vector<QString> texts;
        for (const MessageBoxRequest& box : doubles.messages.shown)
            texts.push_back(box.text);
        return texts;
    }

    frmSQL* doc = nullptr;
    RichTextEditor* editor = nullptr;
};

ReplaceRequest Request(const char16_t* find, const char16_t* with,
                       editing::FindOptions options = {}, bool inSelection = false) {
    return {Q(find), Q(with), options, inSelection};
}

TEST_F(EditorMenuCommands, EveryCommandHasItsItemBesideTheMenusOwn) {
    const struct {
        const char16_t* name;
        const char16_t* caption;
        QKeySequence key;
        const char16_t* after; // the item it follows
    } items[] = {
        {u"mnuQryExecBatch", u"カーソル位置のバッチを実行(&B)",
         QKeySequence(Qt::CTRL | Qt::Key_Return), u"mnuQryExec"},
        {u"mnuEditReplace", u"置換(&H)...", QKeySequence(Qt::CTRL | Qt::Key_H), u"mnuEditResearch"},
        {u"mnuEditGoToLine", u"指定行へ移動(&G)...", QKeySequence(Qt::CTRL | Qt::Key_G),
         u"mnuEditReplace"},
        {u"mnuEditComment", u"行コメントの切り替え(&M)", QKeySequence(Qt::CTRL | Qt::Key_Slash),
         u"mnuEditBar2"},
        {u"mnuEditIndent", u"インデント(&I)\tTab", QKeySequence(), u"mnuEditComment"},
        {u"mnuEditOutdent", u"インデント解除(&U)\tShift+Tab", QKeySequence(), u"mnuEditIndent"},
        {u"mnuViewLineNumbers", u"行番号(&L)", QKeySequence(), nullptr},
        {u"mnuViewZoomIn", u"拡大(&I)", QKeySequence(Qt::CTRL | Qt::Key_Plus), u"mnuViewBar"},
        {u"mnuViewZoomOut", u"縮小(&O)", QKeySequence(Qt::CTRL | Qt::Key_Minus), u"mnuViewZoomIn"},
        {u"mnuViewZoomReset", u"元のサイズに戻す(&R)", QKeySequence(), u"mnuViewZoomOut"},
    };
    for (const auto& item : items) {
        SCOPED_TRACE(Q(item.name).toStdString());
        QAction* action = window->MenuItem(Q(item.name));
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->text(), Q(item.caption));
        EXPECT_EQ(action->shortcut(), item.key);
        const QList<QAction*> siblings = qobject_cast<QMenu*>(action->parent())->actions();
        const qsizetype at = siblings.indexOf(action);
        ASSERT_GE(at, 0);
        if (item.after)
            EXPECT_EQ(siblings.value(at - 1)->objectName(), Q(item.after));
        else
            EXPECT_EQ(at, 0);
    }
    // Ctrl+0 stays the grid's.
    for (QAction* action : window->findChildren<QAction*>())
        EXPECT_FALSE(action->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_0)))
            << action->objectName().toStdString();
    // The view menu stands after the edit menu and goes with the documents.
    QStringList menus;
    for (QAction* menu : window->menuBar()->actions())
        menus.append(menu->objectName());
    EXPECT_EQ(menus.indexOf(QStringLiteral("mnuView")),
              menus.indexOf(QStringLiteral("mnuEdit")) + 1);
    QMenu* view = window->Menu(QStringLiteral("mnuView"));
    EXPECT_EQ(view->title(), Q(u"表示(&V)"));
    EXPECT_TRUE(view->isEnabled());
    doc->parentWidget()->close();
    EXPECT_FALSE(view->isEnabled());
}

TEST_F(EditorMenuCommands, TheEditorsContextMenuOffersTheEditingCommands) {
    const std::unique_ptr<QMenu> menu = window->EditorContextMenu(*doc);
    QStringList names;
    for (QAction* action : menu->actions())
        names.append(action->objectName());
    for (const char16_t* name : {u"mnuEditReplace", u"mnuEditGoToLine", u"mnuEditComment",
                                 u"mnuEditIndent", u"mnuEditOutdent"})
        EXPECT_TRUE(names.contains(Q(name))) << Q(name).toStdString();
    EXPECT_GT(names.size(), 6) << "after the editor's own items";
}

TEST_F(EditorMenuCommands, ReplaceAllIsOneUndoStepAndSaysHowMany) {
    const QString text = Q(u"select 名前 from 表\r\nwhere 名前 = '名前x'\r\n");
    editor->setText(text);
    QSignalSpy changes(editor, &RichTextEditor::Change);
    const QStringList answers = Replacing([](ReplaceActions& actions) {
        return QStringList{actions.ReplaceAll(Request(u"名前", u"氏名", {false, true, false}))};
    });
    EXPECT_EQ(answers, QStringList{Q(u"2 件置換しました。")});
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(editor->Text(), Q(u"select 氏名 from 表\r\nwhere 氏名 = '名前x'\r\n"));
    editor->undo();
    EXPECT_EQ(editor->Text(), text);
    editor->redo();
    EXPECT_EQ(editor->Text(), Q(u"select 氏名 from 表\r\nwhere 氏名 = '名前x'\r\n"));

    // A replacement holding the search text: once each, no more.
    editor->setText(Q(u"a\r\na a"));
    EXPECT_EQ(Replacing([](ReplaceActions& actions) {
                  return QStringList{actions.ReplaceAll(Request(u"a", u"(a)"))};
              }),
              QStringList{Q(u"3 件置換しました。")});
    EXPECT_EQ(editor->Text(), Q(u"(a)\r\n(a) (a)"));

    // Within the selection the dialog was opened on: the second line only.
    editor->setText(Q(u"x = 1\r\nx = 2\r\nx = 3"));
    editor->setSelStart(At(u"x = 2"));
    editor->setSelLength(5);
    Replacing([](ReplaceActions& actions) {
        return QStringList{actions.ReplaceAll(Request(u"x", u"y", {}, true))};
    });
    EXPECT_EQ(editor->Text(), Q(u"x = 1\r\ny = 2\r\nx = 3"));
    EXPECT_EQ(doubles.replace.selectionOffered.back(), true);
    EXPECT_EQ(doubles.replace.shownWith.back().findWhat, Q(u"x = 2")) << "the word selected";
    EXPECT_EQ(editor->SelText(), Q(u"y = 2"));
    // Several lines selected: within them is ticked.
    editor->setSelStart(0);
    editor->setSelLength(9);
    Replacing([](ReplaceActions&) { return QStringList{}; });
    EXPECT_TRUE(doubles.replace.shownWith.back().inSelection);
}

TEST_F(EditorMenuCommands, ARegularExpressionInErrorReplacesNothing) {
    const QString text = Q(u"select (1)");
    editor->setText(text);
    const QStringList answers = Replacing([](ReplaceActions& actions) {
        const ReplaceRequest bad = Request(u"(1", u"x", {false, false, true});
        return QStringList{actions.ReplaceAll(bad), actions.Replace(bad), actions.FindNext(bad)};
    });
    ASSERT_EQ(answers.size(), 3);
    for (const QString& answer : answers)
        EXPECT_TRUE(answer.startsWith(Q(u"正規表現に誤りがあります"))) << answer.toStdString();
    EXPECT_EQ(editor->Text(), text);
    EXPECT_FALSE(editor->document()->isUndoAvailable());
    EXPECT_TRUE(doubles.messages.shown.empty()) << "the dialog says it, not a box";
}

TEST_F(EditorMenuCommands, FindNextAndReplaceWalkThroughTheMatches) {
    editor->setText(Q(u"-- 表\r\nselect * from 表\r\nwhere 表.a = 1"));
    editor->setSelStart(0);
    const QStringList answers = Replacing([&](ReplaceActions& actions) {
        const ReplaceRequest request = Request(u"表", u"テーブル");
        QStringList said{actions.FindNext(request)};
        EXPECT_EQ(editor->SelStart(), 3) << "counted as the text counts CR LF";
        EXPECT_EQ(editor->SelLength(), 1);
        said << actions.Replace(request); // the first, then finds the second
        EXPECT_EQ(editor->SelStart(), At(u"表\r\nwhere"));
        said << actions.FindNext(request) << actions.FindNext(request);
        EXPECT_EQ(editor->SelStart(), At(u"表")) << "round to the start";
        said << actions.Replace(Request(u"ない", u"x"));
        return said;
    });
    EXPECT_EQ(answers, (QStringList{QString(), QString(), QString(), QString(),
                                    Q(u"「ない」が見つかりません。")}));
    EXPECT_EQ(editor->Text(), Q(u"-- テーブル\r\nselect * from 表\r\nwhere 表.a = 1"));
    EXPECT_EQ(doubles.replace.shownWith.size(), 1u);
}

TEST_F(EditorMenuCommands, GoToLineAsksForTheLineAndGoesThere) {
    editor->setText(Q(u"a\r\nb\r\nc\r\nd"));
    int offered = 0;
    doubles.modal.script = [&](QDialog& dialog) {
        auto& ask = dynamic_cast<frmGoToLine&>(dialog);
        offered = ask.txtLine()->maximum();
        ask.txtLine()->setValue(3);
        return static_cast<int>(QDialog::Accepted);
    };
    window->RunMenuItem(QStringLiteral("mnuEditGoToLine"));
    EXPECT_EQ(offered, 4);
    EXPECT_EQ(doubles.modal.titles.back(), Q(u"指定行へ移動"));
    EXPECT_EQ(editor->SelStart(), 6);
    doubles.modal.script = nullptr; // cancelled: nothing moves
    window->RunMenuItem(QStringLiteral("mnuEditGoToLine"));
    EXPECT_EQ(editor->SelStart(), 6);
}

TEST_F(EditorMenuCommands, TheBatchAtTheCaretIsSelectedAndRunWithoutAConnectionWarned) {
    const QString text = Q(u"select 1\r\nGO\r\nselect 2 -- 二\r\nfrom t\r\n\r\n");
    const QString warning = Q(u"データベースに接続されていません。");
    const auto in = [&](const char16_t* word) {
        return static_cast<int>(text.indexOf(Q(word)));
    };
    const auto runAt = [&](qsizetype offset) {
        editor->setText(text);
        editor->setSelStart(static_cast<int>(offset));
        doubles.messages.shown.clear();
        window->RunMenuItem(QStringLiteral("mnuQryExecBatch"));
        return editor->SelText();
    };
    EXPECT_EQ(runAt(in(u"2 --")), Q(u"select 2 -- 二\r\nfrom t"));
    EXPECT_EQ(Boxes(), std::vector<QString>{warning});
    EXPECT_EQ(window->PanelText(QStringLiteral("MESSAGE")),
              Q(u"クエリ バッチはエラーで完了しました。"));
    EXPECT_EQ(runAt(in(u"GO") + 2), Q(u"select 1")) << "a GO line ends the batch above";
    EXPECT_EQ(runAt(0), Q(u"select 1")) << "the first batch";
    EXPECT_EQ(runAt(text.size()), Q(u"select 2 -- 二\r\nfrom t")) << "after the last line";

    // A selection runs as it is.
    editor->setSelStart(At(u"from"));
    editor->setSelLength(4);
    doubles.messages.shown.clear();
    window->RunMenuItem(QStringLiteral("mnuQryExecBatch"));
    EXPECT_EQ(editor->SelText(), Q(u"from"));
    EXPECT_EQ(Boxes(), std::vector<QString>{warning});

    // Nothing to run: said in the status bar, nothing else.
    editor->setText(Q(u"select 1\r\ngo\r\n\r\n"));
    editor->setSelStart(editor->TextLength());
    doubles.messages.shown.clear();
    window->RunMenuItem(QStringLiteral("mnuQryExecBatch"));
    EXPECT_TRUE(doubles.messages.shown.empty());
    EXPECT_EQ(window->PanelText(QStringLiteral("MESSAGE")),
              Q(u"カーソル位置に実行するバッチがありません。"));
    EXPECT_EQ(editor->SelLength(), 0);

    // Ctrl+Enter in the editor runs it and types nothing.
    QApplication::setActiveWindow(window.get());
    editor->setText(text);
    editor->setSelStart(At(u"select 1") + 3);
    editor->SetFocus();
    doubles.messages.shown.clear();
    QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(editor->Text(), text);
    EXPECT_EQ(editor->SelText(), Q(u"select 1"));
    EXPECT_EQ(Boxes(), std::vector<QString>{warning});
}

TEST_F(EditorMenuCommands, TheirKeysReachTheCommandsFromTheEditor) {
    QApplication::setActiveWindow(window.get());
    editor->setText(Q(u"select 1\r\nselect 2"));
    editor->SetFocus();
    QTest::keyClick(editor, Qt::Key_Slash, Qt::ControlModifier);
    EXPECT_EQ(editor->Text(), Q(u"-- select 1\r\nselect 2"));
    QTest::keyClick(editor, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(doc->zoom()->Steps(), 1);
    QTest::keyClick(editor, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(doc->zoom()->Steps(), 0);
    QTest::keyClick(editor, Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(doubles.modal.titles, std::vector<QString>{Q(u"指定行へ移動")});
    QTest::keyClick(editor, Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(doubles.replace.shownWith.size(), 1u);
    EXPECT_EQ(editor->Text(), Q(u"-- select 1\r\nselect 2")) << "no key typed anything";
}

TEST_F(EditorMenuCommands, TheLineNumbersChoiceIsKeptForEveryDocumentAndTheNextStart) {
    ASSERT_TRUE(window->LineNumbersShown());
    window->LoadNewDoc();
    window->RunMenuItem(QStringLiteral("mnuViewLineNumbers"));
    for (frmSQL* each : window->Documents())
        EXPECT_FALSE(each->lineNumbers()->Shown());
    EXPECT_FALSE(window->MenuItem(QStringLiteral("mnuViewLineNumbers"))->isChecked());
    EXPECT_EQ(doubles.preferences.values[QStringLiteral("editor.line_numbers")], Q(u"0"));

    // The next start reads it; a store that cannot be written keeps the
    // choice for the session and says nothing.
    window->close();
    window.reset();
    frmMain& next = Open();
    next.LoadNewDoc();
    EXPECT_FALSE(next.ActiveForm()->lineNumbers()->Shown());
    EXPECT_FALSE(next.MenuItem(QStringLiteral("mnuViewLineNumbers"))->isChecked());
    doubles.preferences.refuseWrites = true;
    next.MenuItem(QStringLiteral("mnuViewLineNumbers"))->trigger();
    EXPECT_TRUE(next.ActiveForm()->lineNumbers()->Shown());
    EXPECT_TRUE(next.MenuItem(QStringLiteral("mnuViewLineNumbers"))->isChecked());
    EXPECT_TRUE(doubles.messages.shown.empty());
}

TEST_F(EditorMenuCommands, ZoomLeavesTheFontSettingsAlone) {
    editor->setText(Q(u"select 1"));
    window->RunMenuItem(QStringLiteral("mnuViewZoomIn"));
    window->RunMenuItem(QStringLiteral("mnuViewZoomIn"));
    EXPECT_EQ(doc->zoom()->Steps(), 2);
    // The font command, cancelled, writes the font as it stands: its own size.
    window->RunMenuItem(QStringLiteral("mnuFontFont"));
    EXPECT_EQ(Stored(u"FONT", u"SIZE"), Q(u"10"));
    ASSERT_FALSE(doubles.fonts.shownWith.empty());
    EXPECT_DOUBLE_EQ(doubles.fonts.shownWith.back().size, 10) << "the dialog starts from it too";
    window->RunMenuItem(QStringLiteral("mnuViewZoomReset"));
    EXPECT_EQ(doc->zoom()->Steps(), 0);
}

class EditorBatchRun : public SqliteWindowTest {};

TEST_F(EditorBatchRun, OnlyTheBatchAtTheCaretRunsAsASelectionWould) {
    Open().LoadNewDoc();
    frmSQL& doc = *window->ActiveForm();
    RichTextEditor& editor = *doc.txtQry();
    editor.setText(Q(u"select 1 as a\r\nGO\r\nselect '二' as b\r\nGO\r\nselect 3 as c"));
    editor.setSelStart(static_cast<int>(editor.Text().indexOf(u"'二'")));
    window->RunMenuItem(QStringLiteral("mnuQryExecBatch"));
    EXPECT_EQ(window->PanelText(QStringLiteral("MESSAGE")), Q(u"クエリ バッチが完了しました。"));
    ASSERT_EQ(doc.Run().Batches().size(), 1u);
    const QAbstractItemModel& grid = *doc.grdQry()->model();
    ASSERT_EQ(grid.columnCount(), 1);
    EXPECT_EQ(grid.headerData(0, Qt::Horizontal).toString(), Q(u"b"));
    EXPECT_EQ(grid.index(0, 0).data().toString(), Q(u"二"));
    EXPECT_TRUE(doubles.messages.shown.empty());
}

} // namespace
} // namespace brindle::test
