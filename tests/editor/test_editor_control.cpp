#include "core/error.h"
#include "editor/rich_text_editor.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

using namespace brindle;

TEST(EditorControl, TextJoinsParagraphsWithCrLfWhateverLineEndsWereWritten) {
    RichTextEditor editor;
    const struct {
        const char16_t* written;
        const char16_t* read;
    } cases[] = {
        {u"", u""},
        {u"select 1", u"select 1"},
        {u"a\r\nb", u"a\r\nb"},
        {u"a\nb\rc", u"a\r\nb\r\nc"},
        {u"a\r\n\r\nb\r\n", u"a\r\n\r\nb\r\n"},
        {u"\r\n", u"\r\n"},
        {u"タブ\tと　全角", u"タブ\tと　全角"},
        {u"a\r\r\nb", u"a\r\n\r\nb"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.written).toStdString());
        editor.setText(QString::fromUtf16(c.written));
        EXPECT_EQ(editor.Text(), QString::fromUtf16(c.read));
        EXPECT_EQ(editor.TextLength(), editor.Text().size());
    }
}

TEST(EditorControl, OffsetsCountCrLfAsTwoCharacters) {
    RichTextEditor editor;
    editor.setText(QStringLiteral("select a\r\nfrom t\r\n\r\nwhere 漢字 = 1"));
    const QString text = editor.Text();
    // Every word found in Text is selected exactly by its offset.
    for (const QString& word :
         {QStringLiteral("select"), QStringLiteral("from"), QStringLiteral("t"),
          QStringLiteral("where"), QStringLiteral("漢字"), QStringLiteral("1")}) {
        SCOPED_TRACE(word.toStdString());
        const int at = static_cast<int>(text.lastIndexOf(word));
        editor.setSelStart(at);
        editor.setSelLength(static_cast<int>(word.size()));
        EXPECT_EQ(editor.SelStart(), at);
        EXPECT_EQ(editor.SelLength(), word.size());
        EXPECT_EQ(editor.SelText(), word);
    }
    // A selection across a paragraph end carries the CR LF.
    editor.setSelStart(7);
    editor.setSelLength(4);
    EXPECT_EQ(editor.SelText(), QStringLiteral("a\r\nf"));
    EXPECT_EQ(editor.SelLength(), 4);
}

TEST(EditorControl, SelStartDropsTheSelectionAndClampsAtTheEnd) {
    RichTextEditor editor;
    editor.setText(QStringLiteral("ab\r\ncd"));
    editor.setSelStart(1);
    editor.setSelLength(3);
    editor.setSelStart(5);
    EXPECT_EQ(editor.SelStart(), 5);
    EXPECT_EQ(editor.SelLength(), 0);
    EXPECT_EQ(editor.SelText(), QString());
    editor.setSelStart(1000);
    EXPECT_EQ(editor.SelStart(), 6);
    editor.setSelStart(0);
    editor.setSelLength(1000);
    EXPECT_EQ(editor.SelLength(), 6);
    EXPECT_THROW(editor.setSelStart(-1), Error);
    EXPECT_THROW(editor.setSelLength(-1), Error);
}

TEST(EditorControl, TextRtfIsTheControlsRtfForm) {
    RichTextEditor editor;
    editor.setFontName(QStringLiteral("ＭＳ ゴシック"));
    editor.setFontSize(10);
    editor.setText(QStringLiteral("select {x}\r\n\t\\ 全角　空白"));
    EXPECT_EQ(editor.TextRTF(),
              QStringLiteral("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 ＭＳ ゴシック;}}\\f0\\fs20 "
                             "select \\{x\\}\\par \\tab \\\\ 全角　空白\\par }"));
}

TEST(EditorControl, WritingRtfShowsTheColoursOfItsColourTable) {
    RichTextEditor editor;
    editor.setTextRTF(QStringLiteral(
        "{{\\colortbl ;\\red0\\green0\\blue255;\\red100\\green100\\blue100;\\red255\\green0"
        "\\blue255;\\red0\\green150\\blue0;}\\rtf1\\ansi\\f0 \\cf1 select\\cf0  name\\par "
        "\\cf4 -- note\\cf0 \\par }"));
    EXPECT_EQ(editor.Text(), QStringLiteral("select name\r\n-- note"));
    const std::vector<rtf::ColourRun> runs = editor.ColourRuns();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0], (rtf::ColourRun{0, 6, 1}));
    EXPECT_EQ(runs[1], (rtf::ColourRun{12, 7, 4}));
    EXPECT_EQ(editor.ColourOf(1), QColor(0, 0, 255));
    EXPECT_EQ(editor.ColourOf(4), QColor(0, 150, 0));
    // Writing the same text uncoloured removes the colours.
    editor.setTextRTF(editor.TextRTF());
    EXPECT_TRUE(editor.ColourRuns().empty());
}

TEST(EditorControl, ChangeIsRaisedOnceAndNotForAWriteInsideTheHandler) {
    RichTextEditor editor;
    int changes = 0;
    QObject::connect(&editor, &RichTextEditor::Change, [&] {
        ++changes;
        // A recolouring handler writes the content back.
        editor.setTextRTF(QStringLiteral("{{\\colortbl ;\\red0\\green0\\blue255;}\\rtf1 \\cf1 ") +
                          editor.Text() + QStringLiteral("\\cf0 \\par }"));
    });
    editor.setText(QStringLiteral("select"));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(editor.Text(), QStringLiteral("select"));
    EXPECT_EQ(editor.ColourRuns().size(), 1u);
    editor.setText(QStringLiteral("from"));
    EXPECT_EQ(changes, 2);
}

TEST(EditorControl, FontTakesFractionalSizesAndRefusesImpossibleOnes) {
    RichTextEditor editor;
    editor.setFontName(QStringLiteral("ＭＳ ゴシック"));
    editor.setFontSize(10.5);
    editor.setFontBold(true);
    editor.setFontItalic(true);
    EXPECT_EQ(editor.FontName(), QStringLiteral("ＭＳ ゴシック"));
    EXPECT_DOUBLE_EQ(editor.FontSize(), 10.5);
    EXPECT_TRUE(editor.FontBold());
    EXPECT_TRUE(editor.FontItalic());
    EXPECT_THROW(editor.setFontSize(0), Error);
    EXPECT_THROW(editor.setFontSize(5000), Error);
    EXPECT_DOUBLE_EQ(editor.FontSize(), 10.5);
    EXPECT_TRUE(editor.TextRTF().contains(QStringLiteral("\\fs21 ")));
}

TEST(EditorControl, DroppedFilesAreReportedFromIndexOneAndNotInserted) {
    RichTextEditor editor;
    editor.setText(QStringLiteral("keep"));
    DropData seen;
    QObject::connect(&editor, &RichTextEditor::OLEDragDrop,
                     [&seen](const DropData& data) { seen = data; });
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/一.sql")),
                  QUrl::fromLocalFile(QStringLiteral("/tmp/two.sql"))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(editor.viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(editor.viewport(), &drop);
    ASSERT_EQ(seen.FilesCount(), 2);
    EXPECT_EQ(seen.Files(1), QStringLiteral("/tmp/一.sql"));
    EXPECT_EQ(seen.Files(2), QStringLiteral("/tmp/two.sql"));
    EXPECT_THROW(seen.Files(0), Error);
    EXPECT_THROW(seen.Files(3), Error);
    EXPECT_EQ(editor.Text(), QStringLiteral("keep"));
}

TEST(EditorControl, InsertedTextKeepsCrLfAsOneParagraphEnd) {
    RichTextEditor editor;
    QMimeData mime;
    mime.setText(QStringLiteral("a\r\nb\rc\nd"));
    // Text dropped or pasted goes through the same insertion.
    QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(editor.viewport(), &enter);
    QDropEvent drop(QPointF(1, 1), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(editor.viewport(), &drop);
    EXPECT_EQ(editor.Text(), QStringLiteral("a\r\nb\r\nc\r\nd"));
}
