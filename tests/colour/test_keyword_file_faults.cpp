#include "../shell/main_window_fixture.h"
#include "editor/rich_text_editor.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <functional>
#include <random>

using namespace brindle;

namespace {

// This program stands in a directory of its own, so the keyword files it
// breaks beside itself are read by no other test program.
constexpr char16_t kOwnDirectory[] = u"keyword_faults";

enum class Table { Colour, Arrange };

struct TableFile {
    Table table;
    const char* name;
    const char16_t* fileName;
    const char* shipped;
    QByteArray record; // one valid record line, CR LF included
};

const TableFile kTables[] = {
    {Table::Colour, "colour table", u"KEYWORD_COLOR.CSV", BRINDLE_SHIPPED_COLOR_TABLE,
     QByteArray("select,1\r\n")},
    {Table::Arrange, "arrange table", u"KEYWORD_ARRANGE.CSV", BRINDLE_SHIPPED_ARRANGE_TABLE,
     QByteArray("SELECT,1,1\r\n")},
};

QByteArray Shipped(const TableFile& file) {
    QFile f(QString::fromUtf8(file.shipped));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A broken file: its bytes, or nothing for a missing file.
struct FaultCase {
    const char* name;
    std::function<std::optional<QByteArray>(const TableFile&)> bytes;
    // Whether the colouring or the arrangement reports it in its box;
    // otherwise the table is harmless and used.
    bool colourBox;
    bool arrangeBox;
};

QByteArray Garbage() {
    std::mt19937 random(1932);
    QByteArray bytes(256 * 1024, '\0');
    for (char& b : bytes)
        b = static_cast<char>(random() % 256);
    // NULs and line ends among the noise, so lines of garbage get parsed.
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 509) {
        bytes[i] = '\0';
        if (i % 2 == 0) {
            bytes[i] = '\r';
            bytes[i + 1] = '\n';
        }
    }
    return bytes;
}

// Valid rows, with bytes around them that code page 932 has no character
// for: undefined single bytes, a lead byte whose trail byte is out of range,
// and a lead byte cut off by the end of the file.
QByteArray NotCodePage932(const TableFile& file) {
    const QByteArray bad("\x80\xa0\xfd\xfe\xff\x81\x7f", 7);
    QByteArray bytes = QByteArray("caption ") + bad + "\r\n";
    bytes += file.record;
    const QByteArray tail = file.table == Table::Colour ? QByteArray(",2\r\n") : ",1,0\r\n";
    bytes += QByteArray("x") + bad + tail;
    bytes += QByteArray("y") + bad + tail;
    // The last row's extra field, which nobody reads, ends the file.
    bytes += QByteArray("z") + tail.chopped(2) + ",\x81";
    return bytes;
}

// Far more rows than anyone writes: about 50 MB.
QByteArray Huge(const TableFile& file) {
    QByteArray bytes = Shipped(file);
    const QByteArray row = file.table == Table::Colour ? QByteArray("zzkeyword%1,2\r\n")
                                                       : QByteArray("zzkeyword%1,1,0\r\n");
    constexpr qsizetype kSize = 50 * 1024 * 1024;
    bytes.reserve(kSize + 64);
    for (int i = 0; bytes.size() < kSize; ++i)
        bytes += QString::fromLatin1(row).arg(i, 8, 10, QLatin1Char('0')).toLatin1();
    return bytes;
}

const FaultCase kCases[] = {
    {"missing", [](const TableFile&) { return std::optional<QByteArray>(); }, true, true},
    {"empty", [](const TableFile&) { return std::optional(QByteArray()); }, true, true},
    {"bare LF lines",
     [](const TableFile& f) { return std::optional(Shipped(f).replace("\r\n", "\n")); }, true,
     true},
    {"50 MB", [](const TableFile& f) { return std::optional(Huge(f)); }, false, true},
    {"binary garbage", [](const TableFile&) { return std::optional(Garbage()); }, true, true},
    {"not valid code page 932", [](const TableFile& f) { return std::optional(NotCodePage932(f)); },
     false, false},
};

// Without blanks or line ends the text must read the same: arranging moves
// line breaks and indentation, nothing else.
QString Bare(QString text) {
    static const QRegularExpression blanks(QStringLiteral("[ \\r\\n]"));
    return text.remove(blanks);
}

class KeywordFileFaults : public test::MainWindowTest {
protected:
    void SetUp() override {
        ASSERT_EQ(QDir(QCoreApplication::applicationDirPath()).dirName(),
                  QString::fromUtf16(kOwnDirectory))
            << "these tests replace the keyword files beside the program";
        RestoreShipped();
        MainWindowTest::SetUp();
        Open().LoadNewDoc();
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        RestoreShipped();
    }

    static QString PathOf(const TableFile& file) {
        return QCoreApplication::applicationDirPath() + u'/' + QString::fromUtf16(file.fileName);
    }
    static void Put(const TableFile& file, const std::optional<QByteArray>& bytes) {
        const QString path = PathOf(file);
        QFile::remove(path);
        if (!bytes)
            return;
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(*bytes), bytes->size());
    }
    static void RestoreShipped() {
        for (const TableFile& file : kTables)
            Put(file, Shipped(file));
    }

    RichTextEditor& Editor() { return *window->ActiveForm()->txtQry(); }

    // The boxes shown since the last call, each checked for the keyword
    // classes' own form: the program's title, the stop icon, "number:text".
    size_t NewBoxes() {
        const size_t count = doubles.messages.shown.size() - m_seen;
        for (size_t i = m_seen; i < doubles.messages.shown.size(); ++i) {
            const MessageBoxRequest& box = doubles.messages.shown[i];
            EXPECT_EQ(box.title, QStringLiteral("Brindle"));
            EXPECT_EQ(box.style, 16);
            static const QRegularExpression numbered(QStringLiteral("^\\d+:.+"));
            EXPECT_TRUE(numbered.match(box.text).hasMatch()) << box.text.toStdString();
        }
        m_seen = doubles.messages.shown.size();
        return count;
    }

    const QString query = QStringLiteral("select a, b from t\r\nwhere x = '日本語' and y = 2");

private:
    size_t m_seen = 0;
};

TEST_F(KeywordFileFaults, ABrokenColourTableNeverTouchesTheText) {
    const TableFile& file = kTables[0];
    for (const FaultCase& c : kCases) {
        SCOPED_TRACE(c.name);
        Put(file, c.bytes(file));
        Editor().setText(query);
        EXPECT_EQ(NewBoxes(), c.colourBox ? 1u : 0u);
        EXPECT_EQ(Editor().Text(), query);
        // Typing colours again and again: the text stays the user's.
        Editor().setSelStart(Editor().TextLength());
        QTest::keyClicks(&Editor(), QStringLiteral(" x"));
        EXPECT_EQ(NewBoxes(), c.colourBox ? 2u : 0u);
        EXPECT_EQ(Editor().Text(), query + QStringLiteral(" x"));
        EXPECT_EQ(Editor().SelStart(), Editor().TextLength());
    }
}

TEST_F(KeywordFileFaults, ABrokenArrangeTableNeverLosesTheQuery) {
    const TableFile& file = kTables[1];
    for (const FaultCase& c : kCases) {
        SCOPED_TRACE(c.name);
        Put(file, c.bytes(file));
        Editor().setText(query);
        ASSERT_EQ(NewBoxes(), 0u) << "the colour table is the shipped one";
        window->RunMenuItem(QStringLiteral("mnuQryArrange"));
        EXPECT_EQ(NewBoxes(), c.arrangeBox ? 1u : 0u);
        if (c.arrangeBox) {
            EXPECT_EQ(Editor().Text(), query);
        } else {
            EXPECT_EQ(Bare(Editor().Text()), Bare(query)) << Editor().Text().toStdString();
        }
    }
}

} // namespace
