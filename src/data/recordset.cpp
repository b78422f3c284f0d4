#include "data/recordset.h"

#include "data/batch_executor.h"
#include "data/batch_observer.h"
#include "data/command.h"
#include "data/connection.h"
#include "data/odbc_execute.h"
#include "data/odbc_object_errors.h"
#include "data/odbc_result_table.h"
#include "data/odbc_update.h"
#include "data/write_back_plan.h"

#include <QElapsedTimer>

#include <algorithm>
#include <optional>

namespace brindle {

struct Recordset::WriteBack {
    std::optional<odbc::WriteTarget> target;
    QString reason;
    QString quote;
    QStringList keyColumns;
};

Recordset::Recordset() = default;
Recordset::~Recordset() = default;

const odbc::ResultTable& Recordset::table() const {
    if (!m_table)
        throw ObjectClosedError();
    return *m_table;
}

std::shared_ptr<const odbc::ResultTable> Recordset::Execute(const Command& source,
                                                            const odbc::Session& session) {
    odbc::BatchFacts facts;
    facts.keepAll = source.KeepAllResults();
    const auto run = [&] {
        return source.Executor() ? source.Executor()->Execute(session, source.CommandText(),
                                                              source.CommandTimeout(), &facts)
                                 : odbc::ExecuteBatch(session, source.CommandText(),
                                                      source.CommandTimeout(), nullptr, &facts);
    };
    BatchObserver* observer = source.Observer();
    if (!observer)
        return run();

    BatchReport report;
    report.text = source.CommandText();
    report.started = QDateTime::currentDateTimeUtc();
    // The time on the thread that ran the batch; this clock only stands in
    // for an executor that does not measure it.
    QElapsedTimer clock;
    clock.start();
    const auto elapsed = [&] {
        return facts.elapsedMs >= 0 ? facts.elapsedMs : clock.elapsed();
    };
    try {
        std::shared_ptr<const odbc::ResultTable> table = run();
        report.durationMs = elapsed();
        if (table) {
            report.rows = table->rowCount();
        } else {
            report.rows = facts.rowsChanged;
            report.rowsChanged = true;
        }
        report.outcomes = std::move(facts.outcomes);
        observer->BatchEnded(report);
        return table;
    } catch (const Error& e) {
        if (facts.sent) {
            report.durationMs = elapsed();
            report.outcome = facts.cancelled || e.number() == err::Cancelled
                                 ? BatchReport::Outcome::Cancelled
                                 : BatchReport::Outcome::Failed;
            report.error = e.description();
            report.outcomes = std::move(facts.outcomes);
            observer->BatchEnded(report);
        }
        throw;
    }
}

void Recordset::Open(const Command& source) {
    if (m_table)
        throw ObjectOpenError();
    const Connection* connection = source.ActiveConnection();
    if (!connection || !connection->Session())
        throw ConnectionUnusableError();
    if (source.CommandText().isEmpty())
        throw NoCommandTextError();
    m_table = Execute(source, *connection->Session());
    m_shown = false;
    m_position = 0;
    m_pendingEdits.clear();
    m_written.clear();
    m_writeBack.reset();
    m_connection = connection;
    m_connectionOpen = connection->OpenCount();
}

void Recordset::Show(std::shared_ptr<const odbc::ResultTable> table) {
    if (m_table)
        throw ObjectOpenError();
    if (!table)
        throw ObjectClosedError(); // nothing to show: it stays closed
    m_table = std::move(table);
    m_shown = true;
    m_position = 0;
    m_pendingEdits.clear();
    m_written.clear();
    m_writeBack.reset();
    m_connection = nullptr;
    m_connectionOpen = 0;
}

void Recordset::Close() {
    if (!m_table)
        throw ObjectClosedError();
    if (!m_pendingEdits.empty())
        throw ObjectOpenError();
    m_table.reset();
    m_shown = false;
    m_position = -1;
    m_written.clear();
    m_writeBack.reset();
    m_connection = nullptr;
    // A copy: the observer may well set itself again.
    if (const std::function<void()> observer = m_closedObserver)
        observer();
}

void Recordset::CancelUpdate() {
    table();
    m_pendingEdits.clear();
}

bool Recordset::IsEOF() const {
    const qsizetype count = table().rowCount();
    return count == 0 || m_position >= count;
}

bool Recordset::IsBOF() const {
    return table().rowCount() == 0 || m_position < 0;
}

void Recordset::MoveFirst() {
    if (table().rowCount() == 0)
        throw NoCurrentRecordError();
    leaveRecordFor(0);
    m_position = 0;
}

void Recordset::MoveLast() {
    const qsizetype count = table().rowCount();
    if (count == 0)
        throw NoCurrentRecordError();
    leaveRecordFor(count - 1);
    m_position = count - 1;
}

void Recordset::MoveNext() {
    if (IsEOF())
        throw NoCurrentRecordError();
    leaveRecordFor(m_position + 1);
    ++m_position;
}

void Recordset::MovePrevious() {
    if (IsBOF())
        throw NoCurrentRecordError();
    leaveRecordFor(m_position - 1);
    --m_position;
}

void Recordset::MoveTo(qsizetype row) {
    if (row < 0 || row >= table().rowCount())
        throw NoCurrentRecordError();
    leaveRecordFor(row);
    m_position = row;
}

qsizetype Recordset::AbsolutePosition() const {
    return IsBOF() || IsEOF() ? 0 : m_position + 1;
}

qsizetype Recordset::RecordCount() const {
    return table().rowCount();
}

int Recordset::FieldCount() const {
    return m_table ? m_table->columnCount() : 0;
}

int Recordset::checkedIndex(int index) const {
    if (index < 0 || index >= table().columnCount())
        throw ItemNotFoundError();
    return index;
}

QString Recordset::FieldName(int index) const {
    return table().columnName(checkedIndex(index));
}

odbc::ColumnKind Recordset::FieldKind(int index) const {
    return table().column(checkedIndex(index)).kind();
}

const odbc::ColumnValues& Recordset::FieldValues(int index) const {
    return table().column(checkedIndex(index));
}

qsizetype Recordset::currentRow() const {
    if (IsBOF() || IsEOF())
        throw NoCurrentRecordError();
    return m_position;
}

QVariant Recordset::Value(int index) const {
    const int column = checkedIndex(index);
    return storedValue(currentRow(), column);
}

QVariant Recordset::Value(const QString& name) const {
    const int column = table().indexOf(name);
    if (column < 0)
        throw ItemNotFoundError();
    return storedValue(currentRow(), column);
}

QVariant Recordset::Value(qsizetype row, int index) const {
    const int column = checkedIndex(index);
    if (row < 0 || row >= table().rowCount())
        throw NoCurrentRecordError();
    return storedValue(row, column);
}

QVariant Recordset::storedValue(qsizetype row, int column) const {
    // A pending edit shows as the field's value, as it will be written.
    for (const PendingEdit& edit : m_pendingEdits) {
        if (edit.row == row && edit.field == column)
            return edit.value;
    }
    return savedValue(row, column);
}

bool Recordset::editedAt(qsizetype row, int column) const {
    for (const PendingEdit& edit : m_pendingEdits) {
        if (edit.row == row && edit.field == column)
            return true;
    }
    return m_written.find({row, column}) != m_written.end();
}

QVariant Recordset::savedValue(qsizetype row, int column) const {
    if (!m_written.empty()) {
        const auto written = m_written.find({row, column});
        if (written != m_written.end())
            return written->second;
    }
    return table().value(row, column);
}

const Recordset::WriteBack& Recordset::writeBack() const {
    if (m_writeBack)
        return *m_writeBack;
    auto info = std::make_unique<WriteBack>();
    if (m_shown) {
        info->reason = QStringLiteral("実行のほかの結果は読み取り専用です。");
        m_writeBack = std::move(info);
        return *m_writeBack;
    }
    const odbc::ResultTable& result = table();
    std::vector<odbc::ColumnOrigin> origins;
    for (int i = 0; i < result.columnCount(); ++i)
        origins.push_back(result.columnSource(i).origin);
    info->target = odbc::FindWriteTarget(origins, info->reason);
    const odbc::Session* session = m_connection && m_connection->OpenCount() == m_connectionOpen
                                       ? m_connection->Session()
                                       : nullptr;
    if (info->target && !session) {
        info->target.reset();
        info->reason = ConnectionUnusableError().description();
    }
    if (info->target) {
        try {
            if (!odbc::TableHasColumns(*session, *info->target)) {
                info->reason = QStringLiteral("テーブル %1 にこの結果の列が見つかりません。")
                                   .arg(info->target->table);
                info->target.reset();
            } else {
                info->quote = odbc::IdentifierQuote(*session);
                info->keyColumns = odbc::PrimaryKeyColumns(*session, *info->target);
            }
        } catch (const Error& e) {
            info->target.reset();
            info->reason = e.description();
        }
    }
    m_writeBack = std::move(info);
    return *m_writeBack;
}

bool Recordset::Updatable(QString* reason) const {
    if (!m_table) {
        if (reason)
            *reason = ObjectClosedError().description();
        return false;
    }
    const WriteBack& info = writeBack();
    if (reason)
        *reason = info.reason;
    return info.target.has_value();
}

void Recordset::SetValue(int index, const QVariant& value) {
    const int column = checkedIndex(index);
    QString reason;
    if (!Updatable(&reason))
        throw NotUpdatableError(reason);
    const qsizetype row = currentRow();
    auto& edits = m_pendingEdits;
    edits.erase(std::remove_if(edits.begin(), edits.end(),
                               [&](const PendingEdit& e) { return e.field == column; }),
                edits.end());
    const QVariant stored = storedValue(row, column);
    const bool same = stored.isNull() == value.isNull() && (value.isNull() || stored == value);
    if (!same)
        edits.push_back({row, column, value});
}

qsizetype Recordset::EditedRow() const {
    return m_pendingEdits.empty() ? -1 : m_pendingEdits.front().row;
}

void Recordset::leaveRecordFor(qsizetype target) {
    if (!m_pendingEdits.empty() && m_pendingEdits.front().row != target)
        Update();
}

void Recordset::Update() {
    if (m_pendingEdits.empty())
        return;
    QString reason;
    if (!Updatable(&reason))
        throw NotUpdatableError(reason);
    // The edits were read from one session; another one may be anything.
    if (!m_connection || !m_connection->Session() || m_connection->OpenCount() != m_connectionOpen)
        throw ConnectionUnusableError();
    const WriteBack& info = writeBack();
    const odbc::ResultTable& result = table();
    const qsizetype row = m_pendingEdits.front().row;

    std::vector<const PendingEdit*> byField;
    for (const PendingEdit& edit : m_pendingEdits)
        byField.push_back(&edit);
    std::sort(byField.begin(), byField.end(),
              [](const PendingEdit* a, const PendingEdit* b) { return a->field < b->field; });
    std::vector<int> changed;
    for (const PendingEdit* edit : byField)
        changed.push_back(edit->field);

    std::vector<QVariant> original(static_cast<std::size_t>(result.columnCount()));
    std::vector<bool> originalIsNull(original.size());
    for (int i = 0; i < result.columnCount(); ++i) {
        original[static_cast<std::size_t>(i)] = savedValue(row, i);
        originalIsNull[static_cast<std::size_t>(i)] =
            original[static_cast<std::size_t>(i)].isNull();
    }
    const std::vector<int> where = odbc::WhereFields(*info.target, info.keyColumns, changed);
    const odbc::UpdateStatement update =
        odbc::BuildUpdate(*info.target, info.quote, changed, where, originalIsNull);

    const auto parameter = [&](int field, const QVariant& value) {
        return odbc::UpdateParameter{value, result.column(field).kind(),
                                     result.columnSource(field)};
    };
    std::vector<odbc::UpdateParameter> parameters;
    for (const PendingEdit* edit : byField)
        parameters.push_back(parameter(edit->field, edit->value));
    for (const int field : update.whereParameters)
        parameters.push_back(parameter(field, original[static_cast<std::size_t>(field)]));

    odbc::ExecuteSingleRowUpdate(*m_connection->Session(), update.sql, parameters);
    for (const PendingEdit& edit : m_pendingEdits)
        m_written[{edit.row, edit.field}] = edit.value;
    m_pendingEdits.clear();
}

} // namespace brindle
