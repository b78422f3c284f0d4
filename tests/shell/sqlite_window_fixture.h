#pragma once

#include "data/recordset.h"
#include "data/test_backends.h"
#include "main_window_fixture.h"

#include <QTemporaryDir>

namespace brindle::test {

// The main window with the shared connection open on a fresh SQLite
// database of the test's own.
class SqliteWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(scratch.isValid());
        QString reason;
        const QString connection = ConnectionStringFor(BackendKind::SQLite, scratch.path(), reason);
        ASSERT_FALSE(connection.isNull()) << reason.toStdString();
        gcnDB->setProvider(QStringLiteral("MSDASQL"));
        gcnDB->setConnectionString(connection);
        const Thrown opened = ErrorOf([] { gcnDB->Open(); });
        ASSERT_EQ(opened.number, 0) << opened.description.toStdString();
    }

    // Runs a statement that returns no rows on the shared connection.
    static void Exec(const QString& sql) {
        Recordset none;
        Command command;
        command.setActiveConnection(gcnDB.get());
        command.setCommandText(sql);
        const Thrown thrown = ErrorOf([&] { none.Open(command); });
        ASSERT_EQ(thrown.number, 0)
            << sql.toStdString() << ": " << thrown.description.toStdString();
    }

    // Runs sql into the document's result set and binds its grid, as a
    // successful run does.
    static void Run(frmSQL& doc, const QString& sql) {
        Recordset& rs = doc.RecordSet();
        if (rs.State() != 0)
            rs.Close();
        Command command;
        command.setActiveConnection(gcnDB.get());
        command.setCommandText(sql);
        const Thrown thrown = ErrorOf([&] { rs.Open(command); });
        ASSERT_EQ(thrown.number, 0)
            << sql.toStdString() << ": " << thrown.description.toStdString();
        doc.BindGrid();
    }

    // The numbers 1 to count in field i.
    static QString Numbers(int count) {
        return u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
               QString::number(count) + u") SELECT i, 'row ' || i AS label FROM n";
    }

    QTemporaryDir scratch;
};

} // namespace brindle::test
