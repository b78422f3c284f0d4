#include "data/command.h"
#include "data/recordset.h"
#include "data/test_backends.h"
#include "main_window_fixture.h"
#include "shell/rich_text_editor.h"

#include <QApplication>
#include <QHelpEvent>
#include <QTableView>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>

namespace brindle::test {
namespace {

using namespace Qt::Literals::StringLiterals;

// The main window on a database of each kind with one document, its query
// run as F5 runs it.
class GridDisplay : public MainWindowTest, public testing::WithParamInterface<BackendKind> {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(scratch.isValid());
        if (OpenConnectionTo(*gcnDB, GetParam(), scratch.path()).isNull())
            return;
        Open().LoadNewDoc();
        doc = window->ActiveForm();
        ASSERT_NE(doc, nullptr);
    }
    void TearDown() override {
        QToolTip::hideText();
        MainWindowTest::TearDown();
    }

    const Backend& backend() const { return BackendOf(GetParam()); }
    QTableView* grid() const { return doc->grdQry(); }
    QModelIndex Cell(int row, int column) const { return grid()->model()->index(row, column); }

    // A statement that returns no rows, on the window's connection.
    static void Exec(const QString& sql) {
        Recordset none;
        Command command;
        command.setActiveConnection(gcnDB.get());
        command.setCommandText(sql);
        const Thrown thrown = ErrorOf([&] { none.Open(command); });
        ASSERT_EQ(thrown.number, 0)
            << sql.toStdString() << ": " << thrown.description.toStdString();
    }
    void Run(const QString& script) {
        doc->txtQry()->setText(script);
        window->mnuQryExec_Click();
    }

    // The tool tip the pointer resting on the cell brings up, as plain text;
    // empty when none comes.
    QString ToolTipAt(int row, int column) {
        QToolTip::hideText();
        // A tip goes a moment after it is told to.
        EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 10000));
        grid()->scrollTo(Cell(row, column));
        const QPoint inside = grid()->visualRect(Cell(row, column)).center();
        QHelpEvent help(QEvent::ToolTip, inside, grid()->viewport()->mapToGlobal(inside));
        QApplication::sendEvent(grid()->viewport(), &help);
        if (!QToolTip::isVisible())
            return {};
        QTextDocument tip;
        tip.setHtml(QToolTip::text());
        return tip.toPlainText();
    }

    QTemporaryDir scratch;
    frmSQL* doc = nullptr;
};

TEST_P(GridDisplay, AnElidedTextShowsWholeInItsToolTip) {
    const QString japanese = JapaneseText(backend());
    // Line breaks stay lines, and what looks like markup is text.
    const QString whole = japanese.repeated(4) + u"\n<b>"_s + japanese + u"</b> &amp;"_s;
    Exec(u"CREATE TEMP TABLE j (s varchar(400), n integer)"_s);
    Exec(u"INSERT INTO j VALUES ('"_s + whole + u"', 1), ('短い', 2)"_s);
    Run(u"SELECT s AS 本文, n FROM j ORDER BY n"_s);
    ASSERT_EQ(grid()->model()->rowCount(), 2);

    EXPECT_EQ(ToolTipAt(0, 0), whole);
    EXPECT_EQ(ToolTipAt(1, 0), QString()) << "short enough to be seen";
    EXPECT_EQ(ToolTipAt(0, 1), QString());

    // Made wide enough, the cell shows it all (on one line): no tool tip.
    grid()->setColumnWidth(0, grid()->sizeHintForIndex(Cell(0, 0)).width() + 20);
    EXPECT_EQ(ToolTipAt(0, 0), QString());
    // Made narrow, even the short one is cut.
    grid()->setColumnWidth(0, 12);
    EXPECT_EQ(ToolTipAt(1, 0), u"短い"_s);
}

BRINDLE_ALL_BACKENDS(GridDisplay);

} // namespace
} // namespace brindle::test
