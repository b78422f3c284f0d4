// Name completion in a query document, its colouring on, over names of a
// test's own: what opens the list, which keys it takes and which it leaves
// to the text.
#include "editor/completion_popup.h"
#include "editor/rich_text_editor.h"
#include "shell/frm_sql.h"
#include "support/test_services.h"

#include <QListView>
#include <QTest>

#include <gtest/gtest.h>

namespace brindle::test {
namespace {

using namespace Qt::StringLiterals;
using completion::Choice;
using completion::CompletionPopup;
using completion::TableRef;

class FakeChoices final : public completion::ChoiceSource {
public:
    std::vector<Choice> Tables(const QString& group) override {
        if (group == u"sales")
            return {{u"totals"_s, u"totals"_s, Choice::Kind::Table}};
        return {{u"orders"_s, u"orders"_s, Choice::Kind::Table},
                {u"order_lines"_s, u"order_lines"_s, Choice::Kind::Table},
                {u"My Tab"_s, u"\"My Tab\""_s, Choice::Kind::Table}};
    }
    bool IsGroup(const QString& name) override { return name == u"sales"; }
    std::optional<std::vector<Choice>> Columns(const TableRef& table) override {
        ++columnsAsked;
        if (!columnsReady)
            return std::nullopt;
        if (table.name.back().compare(u"orders"_s, Qt::CaseInsensitive) != 0)
            return std::vector<Choice>{};
        return std::vector<Choice>{{u"id"_s, u"id"_s, Choice::Kind::Column},
                                   {u"total"_s, u"total"_s, Choice::Kind::Column}};
    }
    std::vector<Choice> Keywords() override {
        return {{u"SELECT"_s, u"SELECT"_s, Choice::Kind::Keyword},
                {u"ORDER"_s, u"ORDER"_s, Choice::Kind::Keyword}};
    }
    bool columnsReady = true;
    int columnsAsked = 0;
};

class CompletionPopupTest : public testing::Test {
protected:
    void SetUp() override {
        doc.resize(800, 600);
        doc.show();
        popup = new CompletionPopup(editor, choices);
        editor.SetFocus();
    }
    void Type(const QString& text) {
        QTest::keyClicks(&editor, text);
        QCoreApplication::processEvents();
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(&editor, key, modifiers);
        QCoreApplication::processEvents();
    }
    bool Chosen() const { return popup->list()->currentIndex().isValid(); }

    RecordingMessageBoxes boxes;
    frmSQL doc{boxes};
    RichTextEditor& editor = *doc.txtQry();
    FakeChoices choices;
    CompletionPopup* popup = nullptr;
};

TEST_F(CompletionPopupTest, OpensAfterFromButEnterAndTabStayTheTextsUntilSomethingIsChosen) {
    Type(u"SELECT * FROM "_s);
    ASSERT_TRUE(popup->IsOpen());
    EXPECT_EQ(popup->Shown(), (QStringList{u"orders"_s, u"order_lines"_s, u"My Tab"_s}));
    EXPECT_FALSE(Chosen());
    Key(Qt::Key_Return);
    EXPECT_FALSE(popup->IsOpen());
    EXPECT_EQ(editor.Text(), u"SELECT * FROM \r\n") << "the Enter went into the text";

    Type(u"FROM "_s);
    ASSERT_TRUE(popup->IsOpen());
    Type(u"my"_s);
    EXPECT_EQ(popup->Shown(), (QStringList{u"My Tab"_s}));
    Key(Qt::Key_Tab);
    EXPECT_EQ(editor.Text(), u"SELECT * FROM \r\nFROM \"My Tab\"");
    EXPECT_FALSE(popup->IsOpen());
    // The whole choice is one undo step back to the word as typed.
    editor.undo();
    EXPECT_EQ(editor.Text(), u"SELECT * FROM \r\nFROM my");

    Type(u" x"_s); // a blank ends the word; no name holds "x"
    EXPECT_FALSE(popup->IsOpen());
}

TEST_F(CompletionPopupTest, AnAliasGivesItsColumnsOnceTheyAreRead) {
    choices.columnsReady = false;
    Type(u"SELECT o."_s);
    EXPECT_FALSE(popup->IsOpen()) << "no alias yet: nothing to offer";
    editor.setText(u"SELECT  FROM orders o"_s);
    editor.setSelStart(7);
    Type(u"o."_s);
    EXPECT_FALSE(popup->IsOpen()) << "columns still being read";
    choices.columnsReady = true;
    popup->ChoicesChanged();
    ASSERT_TRUE(popup->IsOpen());
    EXPECT_EQ(popup->Shown(), (QStringList{u"id"_s, u"total"_s}));
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    Key(Qt::Key_Return);
    EXPECT_EQ(editor.Text(), u"SELECT o.total FROM orders o");

    // A schema's tables after its name in FROM.
    editor.setText(u"SELECT * FROM sales."_s);
    editor.setSelStart(int(editor.Text().size()));
    popup->OpenAsked();
    EXPECT_EQ(editor.Text(), u"SELECT * FROM sales.totals") << "the only choice, asked for";
}

TEST_F(CompletionPopupTest, EscapeCommentsStringsAndTheEdgesOfTheText) {
    popup->OpenAsked(); // an empty text: everything there is
    ASSERT_TRUE(popup->IsOpen());
    EXPECT_TRUE(popup->Shown().contains(u"SELECT"_s));
    Key(Qt::Key_Escape);
    EXPECT_FALSE(popup->IsOpen());
    EXPECT_EQ(editor.Text(), u"");

    for (const QString& text : {u"SELECT 1 -- FROM "_s, u"SELECT 'a FROM "_s, u"/* o."_s}) {
        SCOPED_TRACE(text.toStdString());
        editor.setText(text.chopped(1));
        editor.setSelStart(int(text.size()));
        Type(text.right(1));
        EXPECT_FALSE(popup->IsOpen());
        popup->OpenAsked();
        EXPECT_FALSE(popup->IsOpen());
        EXPECT_EQ(editor.Text(), text);
    }

    // A batch that does not parse still offers names at its very end.
    editor.setText(u"SELECT ((( FROM , JOIN ON 'x' \"\r\nGO\r\nsel"_s);
    editor.setSelStart(int(editor.Text().size()));
    popup->OpenAsked(); // one name fits: taken at once
    EXPECT_FALSE(popup->IsOpen());
    EXPECT_TRUE(editor.Text().endsWith(u"GO\r\nSELECT"));
}

// Only the caret's batch names its aliases, wherever it stands in a script,
// and the name goes in at the caret's place in the whole text.
TEST_F(CompletionPopupTest, AScriptsOtherBatchesLendNoAliases) {
    const QString first = u"SELECT 1 FROM order_lines o\r\nGO\r\n"_s;
    const QString last = u"\r\nGO\r\nSELECT o.t FROM order_lines o"_s;
    editor.setText(first + u"SELECT o.t FROM orders o"_s + last);
    editor.setSelStart(int(first.size()) + 10);
    popup->OpenAsked();
    EXPECT_EQ(editor.Text(), first + u"SELECT o.total FROM orders o"_s + last);

    editor.setSelStart(int(editor.Text().size() - 19));
    popup->OpenAsked();
    EXPECT_FALSE(popup->IsOpen()) << "order_lines has no such column";
    EXPECT_TRUE(editor.Text().endsWith(last));
}

} // namespace
} // namespace brindle::test
