#include "data/recordset.h"
#include "data/recordset_model.h"
#include "shell/main_window_fixture.h"
#include "editor/rich_text_editor.h"
#include "test_backends.h"

#include <QApplication>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTableView>
#include <QTest>

#include <vector>

namespace brindle::test {
namespace {

using namespace Qt::Literals::StringLiterals;

// A main window on a database of each kind, one document open, and a second
// connection of our own that reads (and changes) what the grid wrote. The
// tables are real ones with names of their own: the second connection must
// see them, and PostgreSQL's database is shared by the parallel tests.
class GridEditing : public MainWindowTest, public testing::WithParamInterface<BackendKind> {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(scratch.isValid());
        const QString connectionString = OpenConnectionTo(*gcnDB, GetParam(), scratch.path());
        if (connectionString.isNull())
            return;
        other.setConnectionString(connectionString);
        const Thrown thrown = ErrorOf([&] { other.Open(); });
        ASSERT_EQ(thrown.number, 0) << thrown.description.toStdString();

        table = u"edit_"_s + QString::number(QRandomGenerator::global()->generate64(), 16);
        Open().LoadNewDoc();
        ASSERT_NE(window->ActiveForm(), nullptr);
    }

    void TearDown() override {
        if (other.State() != 0) {
            for (const QString& name : std::vector<QString>{table, table + u"_b"_s})
                ErrorOf([&] { OtherExec(u"DROP TABLE "_s + name); });
        }
        MainWindowTest::TearDown();
    }

    frmSQL& doc() const { return *window->ActiveForm(); }
    QTableView* grid() const { return doc().grdQry(); }
    Recordset& rs() const { return doc().RecordSet(); }
    const std::vector<MessageBoxRequest>& boxes() const { return doubles.messages.shown; }

    // Statements of the second connection; it also made the tables.
    void OtherExec(const QString& sql) {
        Command command;
        command.setActiveConnection(&other);
        command.setCommandText(sql);
        Recordset none;
        none.Open(command);
    }
    void Make(const QString& columns, const std::vector<QString>& rows, const QString& name = {}) {
        const QString target = name.isEmpty() ? table : name;
        OtherExec(u"CREATE TABLE "_s + target + u" ("_s + columns + u')');
        for (const QString& row : rows)
            OtherExec(u"INSERT INTO "_s + target + u" VALUES ("_s + row + u')');
    }
    // One column of the table in key order, as the second connection reads it.
    std::vector<QVariant> Stored(const QString& column, const QString& order = u"id"_s) {
        Command command;
        command.setActiveConnection(&other);
        command.setCommandText(u"SELECT "_s + column + u" FROM "_s + table + u" ORDER BY "_s +
                               order);
        Recordset read;
        read.Open(command);
        std::vector<QVariant> values;
        for (qsizetype row = 0; row < read.RecordCount(); ++row)
            values.push_back(read.Value(row, 0));
        return values;
    }

    void Run(const QString& sql) {
        doc().txtQry()->setText(sql);
        window->RunMenuItem(u"mnuQryExec"_s);
        ASSERT_EQ(rs().State(), 1) << sql.toStdString();
    }

    // F2 on the cell, the text typed over what it held, Enter: as a user edits.
    void Type(int row, int column, const QString& text) {
        const QModelIndex cell = grid()->model()->index(row, column);
        grid()->setCurrentIndex(cell);
        QTest::keyClick(grid(), Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(grid()->indexWidget(cell));
        ASSERT_NE(editor, nullptr) << "no editor on " << row << "," << column;
        editor->selectAll();
        // One key event with the whole text: QTest spells out ASCII only.
        QTest::sendKeyEvent(QTest::Press, editor, Qt::Key_unknown, text, Qt::NoModifier);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(grid(), key, modifiers);
        QApplication::processEvents();
    }
    QString RowHeader(int row) const {
        return grid()->model()->headerData(row, Qt::Vertical).toString();
    }

    QTemporaryDir scratch;
    Connection other;
    QString table;
};

QVariant Int(qint64 n) {
    return QVariant::fromValue(n);
}

TEST_P(GridEditing, TypedEditsAreWrittenBackWhenTheRecordIsLeftOrEnterIsPressed) {
    Make(u"id INTEGER PRIMARY KEY, name VARCHAR(100), n INTEGER"_s,
         {u"1, 'one', 10"_s, u"2, 'two', 20"_s, u"3, 'three', 30"_s});
    Run(u"SELECT id, name, n FROM "_s + table + u" ORDER BY id"_s);
    ASSERT_TRUE(dynamic_cast<RecordsetModel&>(*grid()->model()).Editable());

    const QString japanese = JapaneseText(BackendOf(GetParam()));
    Type(0, 1, japanese);
    EXPECT_EQ(RowHeader(0), u"✎ 1"_s);
    EXPECT_EQ(grid()->model()->index(0, 1).data().toString(), japanese) << "shown while pending";
    EXPECT_EQ(Stored(u"name"_s)[0].toString(), u"one"_s) << "nothing written while pending";
    Press(Qt::Key_Down);
    EXPECT_EQ(Stored(u"name"_s)[0].toString(), japanese);
    EXPECT_EQ(RowHeader(0), u"1"_s);
    EXPECT_EQ(rs().AbsolutePosition(), 2);

    // Quotes reach the database as they were typed: values are parameters.
    const QString quoted = uR"(O'Neil "q" ''; --)"_s;
    Type(1, 1, quoted);
    Type(1, 2, u"21"_s);
    Press(Qt::Key_Return);
    EXPECT_EQ(Stored(u"name"_s)[1].toString(), quoted);
    EXPECT_EQ(Stored(u"n"_s)[1], Int(21));

    // NULL by Ctrl+0, then a value over the NULL.
    grid()->setCurrentIndex(grid()->model()->index(2, 2));
    Press(Qt::Key_0, Qt::ControlModifier);
    Press(Qt::Key_Return);
    EXPECT_TRUE(Stored(u"n"_s)[2].isNull());
    Type(2, 2, u"33"_s);
    Press(Qt::Key_Return);
    EXPECT_EQ(Stored(u"n"_s)[2], Int(33));

    // A typed edit back to what is stored leaves nothing pending.
    Type(2, 1, u"three"_s);
    EXPECT_EQ(rs().EditedRow(), -1);
    EXPECT_TRUE(boxes().empty());

    // Text that is no value of the field: one box, nothing pending.
    Type(0, 2, u"abc"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes().empty(); }, 2000));
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_TRUE(boxes()[0].text.contains(u"abc"_s));
    EXPECT_EQ(rs().EditedRow(), -1);
    EXPECT_EQ(Stored(u"n"_s)[0], Int(10));
}

TEST_P(GridEditing, AKeylessTableIsWrittenThroughEveryColumnAndDuplicatesAreRefused) {
    Make(u"a INTEGER, b VARCHAR(20)"_s, {u"1, 'x'"_s, u"2, 'y'"_s, u"2, 'y'"_s});
    Run(u"SELECT a, b FROM "_s + table + u" ORDER BY a"_s);
    Type(0, 1, u"changed"_s);
    Press(Qt::Key_Return);
    EXPECT_EQ(Stored(u"b"_s, u"a, b"_s)[0].toString(), u"changed"_s);
    EXPECT_TRUE(boxes().empty());

    // Two rows alike: one UPDATE would change both, so it is undone.
    Type(1, 1, u"z"_s);
    Press(Qt::Key_Return);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_TRUE(boxes()[0].text.contains(u"複数"_s));
    const std::vector<QVariant> b = Stored(u"b"_s, u"a, b"_s);
    EXPECT_EQ(b[1].toString(), u"y"_s);
    EXPECT_EQ(b[2].toString(), u"y"_s);
    EXPECT_EQ(RowHeader(1), u"✎ 2"_s) << "still pending, to correct or cancel";
    Press(Qt::Key_Escape);
    EXPECT_EQ(rs().EditedRow(), -1);
    EXPECT_EQ(RowHeader(1), u"2"_s);
    EXPECT_EQ(grid()->model()->index(1, 1).data().toString(), u"y"_s);
}

TEST_P(GridEditing, ARowChangedOrDeletedSinceTheFetchIsNotOverwritten) {
    Make(u"id INTEGER PRIMARY KEY, name VARCHAR(20)"_s,
         {u"1, 'one'"_s, u"2, 'two'"_s, u"3, 'three'"_s});
    Run(u"SELECT id, name FROM "_s + table + u" ORDER BY id"_s);
    OtherExec(u"UPDATE "_s + table + u" SET name = 'theirs' WHERE id = 2"_s);
    OtherExec(u"DELETE FROM "_s + table + u" WHERE id = 3"_s);

    Type(1, 1, u"mine"_s);
    Press(Qt::Key_Down);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_TRUE(boxes()[0].text.contains(u"他のユーザー"_s));
    EXPECT_EQ(Stored(u"name"_s)[1].toString(), u"theirs"_s);
    EXPECT_EQ(rs().AbsolutePosition(), 2) << "the grid stays on the record";
    EXPECT_EQ(grid()->currentIndex().row(), 1);
    Press(Qt::Key_Escape);
    EXPECT_EQ(rs().EditedRow(), -1);

    Type(2, 1, u"gone"_s);
    Press(Qt::Key_Return);
    EXPECT_EQ(boxes().size(), 2u);
    EXPECT_EQ(Stored(u"id"_s).size(), 2u) << "no row comes back";
}

TEST_P(GridEditing, ResultsThatCannotBeWrittenBackAreReadOnly) {
    Make(u"id INTEGER PRIMARY KEY, name VARCHAR(20)"_s, {u"1, 'one'"_s});
    Make(u"id INTEGER PRIMARY KEY, other VARCHAR(20)"_s, {u"1, 'b'"_s}, table + u"_b"_s);
    const std::vector<QString> queries = {
        u"SELECT t.id, t.name, b.other FROM "_s + table + u" t JOIN "_s + table +
            u"_b b ON b.id = t.id"_s,
        u"SELECT id, name || 'x' AS e FROM "_s + table,
        u"SELECT id, name, name FROM "_s + table,
        u"SELECT COUNT(*) FROM "_s + table,
    };
    for (const QString& sql : queries) {
        SCOPED_TRACE(sql.toStdString());
        Run(sql);
        const auto& model = dynamic_cast<RecordsetModel&>(*grid()->model());
        EXPECT_FALSE(model.Editable());
        EXPECT_FALSE(model.ReadOnlyReason().isEmpty());
        EXPECT_FALSE(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);
        grid()->setCurrentIndex(model.index(0, 0));
        Press(Qt::Key_F2);
        EXPECT_EQ(grid()->indexWidget(model.index(0, 0)), nullptr);
    }
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(Stored(u"name"_s)[0].toString(), u"one"_s);
}

TEST_P(GridEditing, APendingEditIsDiscardedByANewQueryByClosingAndByAReconnect) {
    Make(u"id INTEGER PRIMARY KEY, name VARCHAR(20)"_s, {u"1, 'one'"_s});
    const QString query = u"SELECT id, name FROM "_s + table;
    Run(query);
    Type(0, 1, u"pending"_s);
    ASSERT_EQ(rs().EditedRow(), 0);
    // F5: the close fails with 3705, the retry cancels the edit.
    Run(query);
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(rs().EditedRow(), -1);
    EXPECT_EQ(grid()->model()->index(0, 1).data().toString(), u"one"_s);
    EXPECT_EQ(Stored(u"name"_s)[0].toString(), u"one"_s);

    // An edit read on one session is never written to the next one.
    Type(0, 1, u"stale"_s);
    ASSERT_EQ(rs().EditedRow(), 0);
    gcnDB->Close();
    gcnDB->Open();
    Press(Qt::Key_Return);
    EXPECT_EQ(boxes().size(), 1u);
    EXPECT_EQ(Stored(u"name"_s)[0].toString(), u"one"_s);

    qobject_cast<QMdiSubWindow*>(doc().parentWidget())->close();
    QApplication::processEvents();
    EXPECT_EQ(Stored(u"name"_s)[0].toString(), u"one"_s);
    EXPECT_EQ(boxes().size(), 1u);
}

BRINDLE_ALL_BACKENDS(GridEditing);

} // namespace
} // namespace brindle::test
