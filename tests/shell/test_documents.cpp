#include "core/error.h"
#include "data/recordset.h"
#include "data/result_pane.h"
#include "main_window_fixture.h"
#include "editor/rich_text_editor.h"
#include "shell/splitter_strip.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QTableView>
#include <QTemporaryDir>

using namespace brindle;
using brindle::test::MainWindowTest;

namespace {

QStringList Captions(const frmMain& w) {
    QStringList captions;
    const QList<frmSQL*> docs = w.Documents();
    for (const frmSQL* doc : docs)
        captions.append(doc->Caption());
    return captions;
}

QMdiSubWindow* Frame(frmSQL* doc) {
    return qobject_cast<QMdiSubWindow*>(doc->parentWidget());
}

} // namespace

TEST_F(MainWindowTest, UntitledNumbersAreNeverReused) {
    frmMain& w = Open();
    w.LoadNewDoc();
    w.LoadNewDoc();
    w.LoadNewDoc();
    EXPECT_EQ(Captions(w), (QStringList{QStringLiteral("無題1"), QStringLiteral("無題2"),
                                        QStringLiteral("無題3")}));
    EXPECT_EQ(gintDocCount, 3);
    Frame(w.Documents()[2])->close();
    Frame(w.Documents()[1])->close();
    EXPECT_EQ(gintDocCount, 1);
    w.RunMenuItem(QStringLiteral("mnuWindowNewWindow"));
    EXPECT_EQ(Captions(w), (QStringList{QStringLiteral("無題1"), QStringLiteral("無題4")}));
    EXPECT_EQ(w.ActiveForm(), w.Documents().last());
    EXPECT_EQ(gintDocCount, 2);
}

TEST_F(MainWindowTest, NewDocumentsTakeTheStoredFontRounded) {
    frmMain& w = Open();
    w.LoadNewDoc();
    RichTextEditor* first = w.ActiveForm()->txtQry();
    EXPECT_EQ(first->FontName(), QStringLiteral("ＭＳ ゴシック"));
    EXPECT_DOUBLE_EQ(first->FontSize(), 10);
    EXPECT_FALSE(first->FontBold());
    EXPECT_FALSE(first->FontItalic());

    Store(u"FONT", u"SIZE", QStringLiteral("9.75"));
    Store(u"FONT", u"NAME", QStringLiteral("IPAGothic"));
    Store(u"FONT", u"BOLD", QStringLiteral("True"));
    Store(u"FONT", u"ITALIC", QStringLiteral("False"));
    w.LoadNewDoc();
    frmSQL* doc = w.ActiveForm();
    EXPECT_DOUBLE_EQ(doc->txtQry()->FontSize(), 10);
    EXPECT_EQ(doc->txtQry()->FontName(), QStringLiteral("IPAGothic"));
    EXPECT_TRUE(doc->txtQry()->FontBold());
    EXPECT_FALSE(doc->txtQry()->FontItalic());
    const QFont grid = doc->grdQry()->font();
    EXPECT_DOUBLE_EQ(grid.pointSizeF(), 10);
    EXPECT_EQ(grid.family(), QStringLiteral("IPAGothic"));
    EXPECT_TRUE(grid.bold());
    EXPECT_FALSE(grid.italic());
    EXPECT_EQ(first->FontName(), QStringLiteral("ＭＳ ゴシック")) << "open documents keep theirs";
}

TEST_F(MainWindowTest, AFailingNewDocumentIsReportedAndNotCounted) {
    frmMain& w = Open();
    Store(u"FONT", u"SIZE", QStringLiteral("5000"));
    w.RunMenuItem(QStringLiteral("mnuFileNew"));
    ASSERT_EQ(doubles.messages.shown.size(), 1u);
    EXPECT_EQ(doubles.messages.shown[0].title, QStringLiteral("エラー"));
    EXPECT_EQ(gintDocCount, 0);
    Store(u"FONT", u"SIZE", QStringLiteral("12"));
    w.RunMenuItem(QStringLiteral("mnuFileNew"));
    EXPECT_EQ(w.ActiveForm()->Caption(), QStringLiteral("無題2"));
    EXPECT_EQ(gintDocCount, 1);
    // Closing the uncounted one never takes the count below zero.
    for (frmSQL* doc : w.Documents())
        Frame(doc)->close();
    EXPECT_EQ(gintDocCount, 0);
}

TEST_F(MainWindowTest, ExitClosesEveryDocumentWithoutAQuestion) {
    frmMain& w = Open();
    w.LoadNewDoc();
    w.LoadNewDoc();
    w.ActiveForm()->txtQry()->setText(QStringLiteral("select 1 -- unsaved"));
    w.RunMenuItem(QStringLiteral("mnuFileEnd"));
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(gintDocCount, 0);
    EXPECT_TRUE(doubles.messages.shown.empty());
    EXPECT_EQ(Stored(u"FORM_MAIN", u"STATE"), QStringLiteral("0"));
}

TEST_F(MainWindowTest, EachDocumentOwnsOneResultSetForItsLife) {
    frmMain& w = Open();
    w.LoadNewDoc();
    w.LoadNewDoc();
    const QList<frmSQL*> docs = w.Documents();
    EXPECT_NE(&docs[0]->RecordSet(), &docs[1]->RecordSet());
    EXPECT_EQ(&docs[0]->RecordSet(), &docs[0]->RecordSet());
    EXPECT_EQ(docs[0]->RecordSet().State(), 0);
}

TEST_F(MainWindowTest, WindowMenuListsAndActivatesTheDocuments) {
    frmMain& w = Open();
    w.LoadNewDoc();
    w.LoadNewDoc();
    QMenu* menu = w.Menu(QStringLiteral("mnuWindow"));
    emit menu->aboutToShow();
    QStringList listed;
    QAction* first = nullptr;
    const QList<QAction*> actions = menu->actions();
    for (QAction* a : actions) {
        if (a->objectName().isEmpty() && !a->isSeparator()) {
            listed.append(a->text());
            if (!first)
                first = a;
        }
    }
    EXPECT_EQ(listed, (QStringList{QStringLiteral("&1 無題1"), QStringLiteral("&2 無題2")}));
    ASSERT_NE(first, nullptr);
    first->trigger();
    EXPECT_EQ(w.ActiveForm()->Caption(), QStringLiteral("無題1"));
}

TEST_F(MainWindowTest, TilingStacksOrPlacesSideBySide) {
    frmMain& w = Open();
    for (int i = 0; i < 3; ++i)
        w.LoadNewDoc();
    const QRect area = w.MdiArea()->viewport()->rect();
    w.RunMenuItem(QStringLiteral("mnuWindowTileHorizontal"));
    QList<frmSQL*> docs = w.Documents();
    for (int i = 0; i < 3; ++i) {
        const QRect g = Frame(docs[i])->geometry();
        EXPECT_EQ(g.left(), area.left());
        EXPECT_EQ(g.width(), area.width());
        if (i > 0) {
            EXPECT_EQ(g.top(), Frame(docs[i - 1])->geometry().bottom() + 1);
        }
    }
    w.RunMenuItem(QStringLiteral("mnuWindowTileVertical"));
    for (int i = 0; i < 3; ++i) {
        const QRect g = Frame(docs[i])->geometry();
        EXPECT_EQ(g.top(), area.top());
        EXPECT_EQ(g.height(), area.height());
        if (i > 0) {
            EXPECT_EQ(g.left(), Frame(docs[i - 1])->geometry().right() + 1);
        }
    }
    w.RunMenuItem(QStringLiteral("mnuWindowCascade"));
    EXPECT_LT(Frame(docs[0])->geometry().top(), Frame(docs[2])->geometry().top());
    EXPECT_LT(Frame(docs[0])->geometry().left(), Frame(docs[2])->geometry().left());

    Frame(docs[0])->showMinimized();
    Frame(docs[1])->showMinimized();
    Frame(docs[0])->move(100, 10);
    w.RunMenuItem(QStringLiteral("mnuWindowArrangeIcons"));
    const QRect a = Frame(docs[0])->geometry();
    const QRect b = Frame(docs[1])->geometry();
    EXPECT_EQ(a.bottom(), area.bottom());
    EXPECT_EQ(b.bottom(), area.bottom());
    EXPECT_EQ(a.left(), area.left());
    EXPECT_EQ(b.left(), a.right() + 1);
}

TEST_F(MainWindowTest, DocumentLayoutInPixelsFollowsTheTwipRules) {
    frmMain& w = Open();
    w.LoadNewDoc();
    frmSQL* doc = w.ActiveForm();
    // The result pane (its tab strip over the grid) stands where the grid does.
    EXPECT_EQ(doc->txtQry()->geometry().top(), 0);
    EXPECT_EQ(doc->txtQry()->height(), 137); // 2055 twips
    EXPECT_EQ(doc->resultPane()->y(), 140);  // 2105 twips
    EXPECT_EQ(doc->txtQry()->width(), doc->width());
    EXPECT_EQ(doc->resultPane()->width(), doc->width());
    EXPECT_EQ(doc->resultPane()->geometry().bottom() + 1, doc->height() - 2); // 30 twips

    // In a window 500 pixels (7500 twips) high, drag the strip 60 pixels down.
    Frame(doc)->resize(600, 500);
    EXPECT_EQ(doc->txtQry()->height(), 137);
    doc->imgSplitter_MouseDown();
    EXPECT_TRUE(doc->picSplitter()->isVisibleTo(doc));
    doc->imgSplitter_MouseMove(900);
    doc->imgSplitter_MouseUp();
    EXPECT_FALSE(doc->picSplitter()->isVisibleTo(doc));
    EXPECT_EQ(doc->PaneLayout().txtQry().height, 1980 + 900);
    EXPECT_EQ(doc->txtQry()->height(), 192);
    EXPECT_EQ(doc->resultPane()->y(), 195);

    // Taller window: the editor keeps its height, the grid stretches.
    Frame(doc)->resize(Frame(doc)->width(), Frame(doc)->height() + 100);
    EXPECT_EQ(doc->txtQry()->height(), 192);
    EXPECT_EQ(doc->resultPane()->geometry().bottom() + 1, doc->height() - 2);
}

TEST_F(MainWindowTest, DroppingFilesLoadsTheFirstOneAndKeepsTheCaption) {
    frmMain& w = Open();
    w.LoadNewDoc();
    frmSQL* doc = w.ActiveForm();
    doc->txtQry()->setText(QStringLiteral("old"));
    QTemporaryDir dir;
    const auto write = [&dir](const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    };
    const QString first = write(QStringLiteral("a.sql"), QByteArray("select 1\nfrom t"));
    const QString second = write(QStringLiteral("b.sql"), QByteArray("second"));

    doc->txtQry_OLEDragDrop(DropData{{dir.filePath(QStringLiteral("gone.sql")), second}});
    EXPECT_EQ(doc->txtQry()->Text(), QStringLiteral("old")) << "a missing first file does nothing";
    doc->txtQry_OLEDragDrop(DropData{{dir.path()}});
    EXPECT_EQ(doc->txtQry()->Text(), QStringLiteral("old")) << "a directory does nothing";
    doc->txtQry_OLEDragDrop(DropData{});
    EXPECT_EQ(doc->txtQry()->Text(), QStringLiteral("old"));

    doc->txtQry_OLEDragDrop(DropData{{first, second}});
    EXPECT_EQ(doc->txtQry()->Text(), QStringLiteral("select 1\r\nfrom t\r\n"));
    EXPECT_EQ(doc->Caption(), QStringLiteral("無題1"));
    EXPECT_TRUE(doubles.messages.shown.empty());
}
