#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace brindle::catalog {

// What the driver says about names, read once per connection.
struct NameRules {
    QString quote;              // the identifier quote character; empty when there is none
    int identifierCase = 0;     // SQL_IC_UPPER/LOWER/SENSITIVE/MIXED; 0 when unknown
    QString catalogTerm;        // "database", "catalog", ...; empty when not used
    QString schemaTerm;         // "schema", "owner", ...; empty when not used
    QString searchEscape;       // escapes "_" and "%" in catalog patterns; empty when none
    QStringList driverKeywords; // SQL_KEYWORDS: the database's own reserved words
};

// One table or view, named as the catalog functions give it.
struct Table {
    QString catalog;
    QString schema;
    QString name;
    QString kind; // TABLE_TYPE: "TABLE", "VIEW", ...

    // The level the pane groups tables under: the schema, or the catalog
    // where the driver has no schemas.
    const QString& group() const { return schema.isEmpty() ? catalog : schema; }
    bool isView() const { return kind.contains(u"VIEW", Qt::CaseInsensitive); }
    friend bool operator==(const Table&, const Table&) = default;
};

struct Column {
    QString name;
    QString typeName;
    qint64 size = -1; // COLUMN_SIZE; -1 when the driver gives none
    int nullable = 2; // SQL_NO_NULLS (0), SQL_NULLABLE (1), SQL_NULLABLE_UNKNOWN (2)
    bool key = false; // part of the primary key
};

} // namespace brindle::catalog
