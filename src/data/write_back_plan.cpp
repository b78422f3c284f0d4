#include "data/write_back_plan.h"

#include <algorithm>
#include <set>

namespace brindle::odbc {

namespace {

QString Quoted(const QString& name, const QString& quote) {
    if (quote.trimmed().isEmpty())
        return name;
    QString inner = name;
    inner.replace(quote, quote + quote);
    return quote + inner + quote;
}

} // namespace

std::optional<WriteTarget> FindWriteTarget(const std::vector<ColumnOrigin>& fields,
                                           QString& reason) {
    if (fields.empty()) {
        reason = QStringLiteral("結果に列がありません。");
        return std::nullopt;
    }
    WriteTarget target;
    std::set<QString> seen;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const ColumnOrigin& origin = fields[i];
        if (origin.table.isEmpty() || origin.column.isEmpty()) {
            reason = QStringLiteral("%1 番目の列はテーブルの列ではありません。").arg(i + 1);
            return std::nullopt;
        }
        if (i == 0) {
            target.catalog = origin.catalog;
            target.schema = origin.schema;
            target.table = origin.table;
        } else if (origin.table != target.table || origin.schema != target.schema ||
                   origin.catalog != target.catalog) {
            reason = QStringLiteral("複数のテーブルから読んだ結果です。");
            return std::nullopt;
        }
        if (!seen.insert(origin.column).second) {
            reason = QStringLiteral("列 %1 が 2 回以上読まれています。").arg(origin.column);
            return std::nullopt;
        }
        target.columns.push_back(origin.column);
    }
    return target;
}

std::vector<int> WhereFields(const WriteTarget& target, const QStringList& keyColumns,
                             const std::vector<int>& changed) {
    std::vector<int> fields;
    bool keyComplete = !keyColumns.isEmpty();
    for (const QString& key : keyColumns) {
        const auto found = std::find(target.columns.begin(), target.columns.end(), key);
        if (found == target.columns.end()) {
            keyComplete = false;
            break;
        }
        fields.push_back(static_cast<int>(found - target.columns.begin()));
    }
    if (keyComplete) {
        fields.insert(fields.end(), changed.begin(), changed.end());
    } else {
        fields.clear();
        for (std::size_t i = 0; i < target.columns.size(); ++i)
            fields.push_back(static_cast<int>(i));
    }
    std::sort(fields.begin(), fields.end());
    fields.erase(std::unique(fields.begin(), fields.end()), fields.end());
    return fields;
}

UpdateStatement BuildUpdate(const WriteTarget& target, const QString& quote,
                            const std::vector<int>& changed, const std::vector<int>& whereFields,
                            const std::vector<bool>& originalIsNull) {
    UpdateStatement update;
    const auto column = [&](int field) {
        return Quoted(target.columns[static_cast<std::size_t>(field)], quote);
    };
    QString sql = QStringLiteral("UPDATE ");
    // The catalog is left out: it is the connection's own database, and not
    // every driver accepts it in a statement.
    if (!target.schema.isEmpty())
        sql += Quoted(target.schema, quote) + u'.';
    sql += Quoted(target.table, quote) + QStringLiteral(" SET ");
    for (std::size_t i = 0; i < changed.size(); ++i) {
        if (i > 0)
            sql += QStringLiteral(", ");
        sql += column(changed[i]) + QStringLiteral(" = ?");
        update.setFields.push_back(changed[i]);
    }
    sql += QStringLiteral(" WHERE ");
    for (std::size_t i = 0; i < whereFields.size(); ++i) {
        const int field = whereFields[i];
        if (i > 0)
            sql += QStringLiteral(" AND ");
        if (originalIsNull[static_cast<std::size_t>(field)]) {
            sql += column(field) + QStringLiteral(" IS NULL");
        } else {
            sql += column(field) + QStringLiteral(" = ?");
            update.whereParameters.push_back(field);
        }
    }
    update.sql = sql;
    return update;
}

} // namespace brindle::odbc
