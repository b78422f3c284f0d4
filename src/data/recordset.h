#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace brindle {

class Command;
class Connection;

namespace odbc {
class ColumnValues;
class ResultTable;
class Session;
enum class ColumnKind;
struct WriteTarget;
} // namespace odbc

// A change to one field that the grid has made and not yet written back.
struct PendingEdit {
    qsizetype row = 0; // 0-based record
    int field = 0;     // 0-based field
    QVariant value;
};

// A document's client-side result set: Open runs a command and keeps every
// row of its result in memory, so the connection is free again at once.
//
// Every member except State, Open, FieldCount and the edit list fails with
// Error 3704 while closed. Values are QVariants: null for NULL (distinct from
// an empty string), qint64 for integers, double for floating types, QString
// for text and for decimals (exact digits), QDate, QTime or QDateTime (UTC:
// the database's wall-clock value) for dates and times, QByteArray for binary.
class Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // 0 while closed, 1 while open.
    int State() const { return m_table ? 1 : 0; }

    // Runs the command's text on its active connection with its time-out.
    // The first result that has columns becomes this result set, standing on
    // its first record (or at BOF and EOF when it has none); a batch whose
    // results have no columns leaves it closed. Fails with 3705 while open,
    // 3709 without an open connection, 3708 without text, and with the
    // driver's diagnostics when the batch fails (staying closed).
    void Open(const Command& source);
    // Opens read-only over a result kept from a run (another result of the
    // document's last run): no connection, never updatable, standing on its
    // first record (or at BOF and EOF when it has none). The table is shared,
    // not copied. Fails with 3705 while open, and with 3704 without a table.
    void Show(std::shared_ptr<const odbc::ResultTable> table);
    // Fails with 3705 while edits are pending (CancelUpdate discards them).
    // Once closed, tells the observer (see setClosedObserver).
    void Close();
    // Told after every Close, so that a view of the result set stops showing
    // what it held at once. One observer at a time: a new one replaces it.
    void setClosedObserver(std::function<void()> observer) {
        m_closedObserver = std::move(observer);
    }
    // Discards the pending edits.
    void CancelUpdate();

    // Past the last record / before the first; both on an empty result. (Not
    // EOF/BOF: the C library defines EOF as a macro.)
    bool IsEOF() const;
    bool IsBOF() const;

    // A move past either end leaves the result set at BOF or EOF; moving on in
    // that direction fails with 3021, as do MoveFirst/MoveLast without records.
    void MoveFirst();
    void MovePrevious();
    void MoveNext();
    void MoveLast();
    // Makes record `row` (from 0) current, as the user's pick in the grid
    // does; fails with 3021 outside the records.
    void MoveTo(qsizetype row);

    // The current record, counted from 1; 0 at BOF or EOF.
    qsizetype AbsolutePosition() const;
    qsizetype RecordCount() const;

    // The fields; 0 while closed. Index from 0, names case-insensitive;
    // an unknown index or name fails with 3265.
    int FieldCount() const;
    QString FieldName(int index) const;
    // What the field holds, so the grid can tell decimals (text) from text.
    odbc::ColumnKind FieldKind(int index) const;
    // Every fetched value of the field (edits written back are not among
    // them), for a look over the whole result such as the grid's widths.
    const odbc::ColumnValues& FieldValues(int index) const;
    // The current record's value; fails with 3021 at BOF or EOF.
    QVariant Value(int index) const;
    QVariant Value(const QString& name) const;
    // Any record's value (row from 0), without moving: for the grid.
    QVariant Value(qsizetype row, int index) const;
    // Whether Value(row, index) differs from what FieldValues(index) holds:
    // an edit pending or written back. Cheap while there are none, so a pass
    // over every cell can read the stored values and ask Value only here.
    bool ValueEdited(qsizetype row, int index) const {
        return (!m_written.empty() || !m_pendingEdits.empty()) && editedAt(row, index);
    }

    // Whether edits can be written back: every field read from its own column
    // of one table the driver's catalog knows. Asked of the driver once per
    // result; reason (when given) says why not. False while closed.
    bool Updatable(QString* reason = nullptr) const;
    // Changes a field of the current record; the change is pending until
    // Update, and a value equal to the stored one withdraws it. Fails with
    // 3251 when the result is not updatable, 3021 at BOF or EOF.
    void SetValue(int index, const QVariant& value);
    // Writes the pending edits back as one UPDATE of their record, kept only
    // when it changed exactly that row; on any failure they stay pending.
    // Fails with 3709 when the connection has been closed or re-opened since
    // the result was read. Nothing pending: nothing happens.
    void Update();
    // The record (from 0) the pending edits belong to; -1 when there are none.
    qsizetype EditedRow() const;

    // Edits the grid has made; Close refuses while there are any. Moving to
    // another record writes them first (see Update) and does not move when
    // that fails.
    const std::vector<PendingEdit>& PendingEdits() const { return m_pendingEdits; }
    std::vector<PendingEdit>& PendingEdits() { return m_pendingEdits; }

private:
    // Runs the command's batch, telling its observer how it ended.
    static std::shared_ptr<const odbc::ResultTable> Execute(const Command& source,
                                                            const odbc::Session& session);
    const odbc::ResultTable& table() const; // throws 3704 while closed
    int checkedIndex(int index) const;
    qsizetype currentRow() const;                          // throws 3021 at BOF or EOF
    QVariant storedValue(qsizetype row, int column) const; // pending edits shown
    QVariant savedValue(qsizetype row, int column) const;  // fetched or written back
    bool editedAt(qsizetype row, int column) const;
    void leaveRecordFor(qsizetype target); // writes edits of another record

    struct WriteBack; // what the write-back needs, read once per result
    const WriteBack& writeBack() const;

    // Shared with the run's other results when its command keeps them all.
    std::shared_ptr<const odbc::ResultTable> m_table;
    bool m_shown = false; // opened by Show: read-only, no connection
    const Connection* m_connection = nullptr;
    quint64 m_connectionOpen = 0; // the connection's OpenCount when the result was read
    mutable std::unique_ptr<WriteBack> m_writeBack;
    // Values written back, over the fetched ones: (record, field) -> value.
    std::map<std::pair<qsizetype, int>, QVariant> m_written;
    // -1 at BOF, RecordCount() at EOF, otherwise the 0-based current record.
    qsizetype m_position = -1;
    std::vector<PendingEdit> m_pendingEdits;
    std::function<void()> m_closedObserver;
};

} // namespace brindle
