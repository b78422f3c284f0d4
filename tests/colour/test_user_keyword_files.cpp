#include "../shell/main_window_fixture.h"
#include "colour/keyword_file_location.h"
#include "core/settings_store.h"
#include "editor/rich_text_editor.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace brindle;

namespace {

// The user's own keyword files in $XDG_CONFIG_HOME/Brindle (a temporary one,
// the fixture's) come before the shipped ones beside the test program:
// there select, from and where are class 1 and start a line.
class UserKeywordFiles : public test::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Open().LoadNewDoc();
        editor().setFocus();
    }

    RichTextEditor& editor() { return *window->ActiveForm()->txtQry(); }

    static QString UserCopy(const char16_t* name) {
        return UserConfigDirectory() + u'/' + QString::fromUtf16(name);
    }
    static void PutUserCopy(const char16_t* name, const QByteArray& bytes) {
        ASSERT_TRUE(QDir().mkpath(UserConfigDirectory()));
        QFile file(UserCopy(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    int ColourAt(int offset) {
        for (const rtf::ColourRun& run : editor().ColourRuns()) {
            if (offset >= run.start && offset < run.start + run.length)
                return run.colour;
        }
        return 0;
    }

    // The texts of the boxes shown since the last call, each in the keyword
    // classes' own form: the program's title and the stop icon.
    QStringList NewBoxes() {
        QStringList texts;
        for (size_t i = m_seen; i < doubles.messages.shown.size(); ++i) {
            const MessageBoxRequest& box = doubles.messages.shown[i];
            EXPECT_EQ(box.title, QStringLiteral("Brindle"));
            EXPECT_EQ(box.style, 16);
            texts.append(box.text);
        }
        m_seen = doubles.messages.shown.size();
        return texts;
    }

    QStringList Arranged(const QString& query) {
        editor().setText(query);
        window->RunMenuItem(QStringLiteral("mnuQryArrange"));
        return editor().Text().split(QStringLiteral("\r\n"));
    }

private:
    size_t m_seen = 0;
};

TEST_F(UserKeywordFiles, TheUsersColourTableWinsABrokenOneIsReportedAndRemovingItRestores) {
    const QString query = QStringLiteral("select a from t");
    editor().setText(query);
    EXPECT_EQ(ColourAt(0), 1) << "the shipped table";

    // Only from, in magenta: select is no keyword of the user's.
    PutUserCopy(kColourKeywordFile, "caption\r\nfrom,3\r\n");
    editor().setText(query);
    EXPECT_EQ(ColourAt(0), 0);
    EXPECT_EQ(ColourAt(9), 3);
    // Typing goes through the same table, read again at each key.
    editor().setSelStart(editor().TextLength());
    QTest::keyClicks(&editor(), QStringLiteral(" where from "));
    EXPECT_EQ(ColourAt(17), 0) << "where";
    EXPECT_EQ(ColourAt(23), 3) << "from";
    EXPECT_TRUE(NewBoxes().isEmpty());

    // A record without its colour: the box, never the shipped table instead.
    PutUserCopy(kColourKeywordFile, "caption\r\nselect\r\n");
    editor().setText(query);
    QStringList boxes = NewBoxes();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].startsWith(QStringLiteral("9:"))) << boxes[0].toStdString();
    EXPECT_EQ(editor().Text(), query);
    EXPECT_NE(ColourAt(0), 1);
    editor().setSelStart(editor().TextLength());
    QTest::keyClicks(&editor(), QStringLiteral(" "));
    EXPECT_EQ(NewBoxes().size(), 1u) << "each change reads it again";
    EXPECT_EQ(editor().Text(), query + u' ');

    // A link whose file is gone is the user's copy too.
    ASSERT_TRUE(QFile::remove(UserCopy(kColourKeywordFile)));
    ASSERT_TRUE(QFile::link(UserConfigDirectory() + u"/gone.csv", UserCopy(kColourKeywordFile)));
    editor().setText(query);
    boxes = NewBoxes();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].startsWith(QStringLiteral("53:"))) << boxes[0].toStdString();

    ASSERT_TRUE(QFile::remove(UserCopy(kColourKeywordFile)));
    editor().setText(query);
    EXPECT_EQ(ColourAt(0), 1) << "the shipped table again";
    EXPECT_EQ(ColourAt(9), 1);
    EXPECT_TRUE(NewBoxes().isEmpty());
}

TEST_F(UserKeywordFiles, TheUsersArrangeTableWinsABrokenOneIsReportedAndRemovingItRestores) {
    const QString query = QStringLiteral("select a from t");
    EXPECT_EQ(Arranged(query).first(), QStringLiteral("select")) << "the shipped table";

    PutUserCopy(kArrangeKeywordFile, "caption\r\nFROM,1,1\r\n");
    EXPECT_EQ(Arranged(query), QStringList({QStringLiteral("select a"), QStringLiteral("from"),
                                            QStringLiteral("    t")}));
    EXPECT_TRUE(NewBoxes().isEmpty());

    // A row with two fields of three: the box, and the query as it was.
    PutUserCopy(kArrangeKeywordFile, "caption\r\nFROM,1\r\n");
    EXPECT_EQ(Arranged(query), QStringList({query}));
    const QStringList boxes = NewBoxes();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].startsWith(QStringLiteral("9:"))) << boxes[0].toStdString();

    ASSERT_TRUE(QFile::remove(UserCopy(kArrangeKeywordFile)));
    EXPECT_EQ(Arranged(query).first(), QStringLiteral("select")) << "the shipped table again";
    EXPECT_TRUE(NewBoxes().isEmpty());
}

} // namespace
