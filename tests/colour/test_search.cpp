#include "../shell/main_window_fixture.h"
#include "colour/frm_search.h"
#include "colour/search_word.h"
#include "shell/frm_main.h"
#include "shell/process_state.h"
#include "editor/rich_text_editor.h"
#include "support/temp_settings.h"
#include "support/test_services.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace brindle;

TEST(SearchWordLogic, FindsForwardWithoutOverlapOrWrap) {
    const struct {
        const char16_t* text;
        qsizetype start;
        const char16_t* word;
        bool ignoreCase;
        qsizetype found;
    } cases[] = {
        {u"aaaa", 1, u"aa", false, 1},
        {u"aaaa", 3, u"aa", false, 3},
        {u"aaaa", 4, u"aa", false, 0},
        {u"select SELECT Select", 1, u"select", false, 1},
        {u"select SELECT Select", 2, u"select", false, 0},
        {u"select SELECT Select", 2, u"select", true, 8},
        {u"select SELECT Select", 9, u"SELECT", true, 15},
        {u"ＡＢＣ ａｂｃ", 2, u"ａｂｃ", true, 5}, // full-width letters map too
        {u"ＡＢＣ ａｂｃ", 1, u"ａｂｃ", false, 5},
        {u"abc", 2, u"", false, 2}, // an empty word matches where the search starts
        {u"", 1, u"", false, 1},
        {u"abc", 9, u"a", false, 0},
        {u"line1\r\nline2", 1, u"\r\nline", false, 6},
        {u"ß straße", 1, u"SS", true, 0}, // no mapping that changes the length
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.text).toStdString() + " / " +
                     QString::fromUtf16(c.word).toStdString());
        EXPECT_EQ(
            FindWord(QString::fromUtf16(c.text), c.start, QString::fromUtf16(c.word), c.ignoreCase),
            c.found);
    }
    EXPECT_EQ(UpperSameLength(u"straße ａｂ").size(), 9);
}

namespace {

class SearchCommandTest : public test::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        gstrSearchWord.clear();
        gblnUpperConv = false;
        Open().LoadNewDoc();
        editor().setText(QStringLiteral("select a\r\nfrom SELECT\r\nSelect"));
        editor().setSelStart(0);
    }
    RichTextEditor& editor() { return *window->ActiveForm()->txtQry(); }
    // The dialog answers with this word and box state.
    void Answer(const QString& word, bool matchCase, bool ok = true) {
        doubles.modal.script = [=](QDialog& dialog) {
            auto& search = dynamic_cast<frmSearch&>(dialog);
            search.txtWord()->setText(word);
            search.chkUpperConv()->setChecked(matchCase);
            if (ok)
                search.cmdOK()->click();
            else
                search.cmdCancel()->click();
            return dialog.result();
        };
    }
};

} // namespace

TEST_F(SearchCommandTest, SearchAgainWalksEveryOccurrenceAndStopsAtTheLast) {
    Answer(QStringLiteral("select"), false);
    window->RunMenuItem(QStringLiteral("mnuEditSearch"));
    EXPECT_EQ(Stored(u"SEARCH", u"UPPER"), QStringLiteral("0"));
    EXPECT_TRUE(gblnUpperConv);
    std::vector<int> starts{editor().SelStart()};
    for (int i = 0; i < 4; ++i) {
        window->RunMenuItem(QStringLiteral("mnuEditResearch"));
        starts.push_back(editor().SelStart());
        EXPECT_EQ(editor().SelLength(), 6);
    }
    EXPECT_EQ(starts, (std::vector<int>{0, 15, 23, 23, 23}));
    EXPECT_EQ(doubles.modal.titles.size(), 1u) << "search again asks only without a word";
    EXPECT_TRUE(doubles.messages.shown.empty()) << "not found says nothing";
}

TEST_F(SearchCommandTest, MatchCaseFindsOnlyTheExactSpelling) {
    Answer(QStringLiteral("Select"), true);
    window->RunMenuItem(QStringLiteral("mnuEditSearch"));
    EXPECT_EQ(Stored(u"SEARCH", u"UPPER"), QStringLiteral("1"));
    EXPECT_FALSE(gblnUpperConv);
    EXPECT_EQ(editor().SelStart(), 23);
}

TEST_F(SearchCommandTest, CancelStillSearchesWithTheStoredWord) {
    gstrSearchWord = QStringLiteral("from");
    gblnUpperConv = true;
    Answer(QStringLiteral("ignored"), true, false);
    window->RunMenuItem(QStringLiteral("mnuEditSearch"));
    EXPECT_EQ(gstrSearchWord, QStringLiteral("from"));
    EXPECT_EQ(Stored(u"SEARCH", u"UPPER"), QStringLiteral("<missing>"));
    EXPECT_EQ(editor().SelStart(), 10);
    EXPECT_EQ(editor().SelText(), QStringLiteral("from"));
}

TEST_F(SearchCommandTest, SearchAgainWithoutAWordOpensTheDialogFirst) {
    Answer(QStringLiteral("SELECT"), true);
    window->RunMenuItem(QStringLiteral("mnuEditResearch"));
    EXPECT_EQ(doubles.modal.titles, std::vector<QString>{QStringLiteral("検索")});
    EXPECT_EQ(editor().SelStart(), 15);
}

TEST_F(SearchCommandTest, DialogShowsTheStoredStateButSearchesCaseSensitivelyUntilOk) {
    Store(u"SEARCH", u"UPPER", QStringLiteral("0"));
    gstrSearchWord = QStringLiteral("SELECT");
    frmSearch dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("検索"));
    EXPECT_EQ(dialog.txtWord()->text(), QStringLiteral("SELECT"));
    EXPECT_FALSE(dialog.chkUpperConv()->isChecked());
    EXPECT_EQ(dialog.chkUpperConv()->text(), QStringLiteral("大文字小文字を区別(&C)"));
    // Before any OK the search is case-sensitive whatever the box shows.
    window->RunMenuItem(QStringLiteral("mnuEditResearch"));
    EXPECT_EQ(editor().SelStart(), 15);
    Store(u"SEARCH", u"UPPER", QStringLiteral("garbage"));
    frmSearch again;
    EXPECT_FALSE(again.chkUpperConv()->isChecked());
}

TEST_F(SearchCommandTest, SelectAllSelectsTheWholeText) {
    window->RunMenuItem(QStringLiteral("mnuEditAll"));
    EXPECT_EQ(editor().SelStart(), 0);
    EXPECT_EQ(editor().SelText(), editor().Text());
}
