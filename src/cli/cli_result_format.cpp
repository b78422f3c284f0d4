#include "cli/cli_result_format.h"

#include "data/grid_cell_text.h"
#include "data/json_text.h"
#include "data/odbc_column_values.h"
#include "data/recordset.h"
#include "data/result_cell_text.h"
#include "data/result_save.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QTime>

#include <utility>

namespace brindle::cli {

namespace {

// A value that is not NULL as the TSV field: binary in the CLI's own
// lower-case hex, everything else whole.
QString PlainText(const QVariant& value) {
    if (value.typeId() == QMetaType::QByteArray)
        return QString::fromLatin1(value.toByteArray().toHex());
    return WholeValueText(value);
}

QString Tsv(const Recordset& rs) {
    QString out;
    for (int field = 0; field < rs.FieldCount(); ++field) {
        if (field > 0)
            out += u'\t';
        AppendTsvField(out, rs.FieldName(field));
    }
    out += u'\n';
    for (qsizetype row = 0; row < rs.RecordCount(); ++row) {
        for (int field = 0; field < rs.FieldCount(); ++field) {
            if (field > 0)
                out += u'\t';
            const QVariant value = rs.Value(row, field);
            if (!value.isNull())
                AppendTsvField(out, PlainText(value));
        }
        out += u'\n';
    }
    return out;
}

QString Json(const Recordset& rs) {
    QString out = QStringLiteral("{");
    AppendJsonColumnsAndRows(out, rs);
    out += u"}\n";
    return out;
}

} // namespace

void AppendTsvField(QString& out, const QString& text) {
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\t':
            out += u"\\t";
            break;
        case u'\r':
            out += u"\\r";
            break;
        case u'\n':
            out += u"\\n";
            break;
        case u'\\':
            out += u"\\\\";
            break;
        default:
            out += c;
        }
    }
}

void AppendJsonColumnsAndRows(QString& out, const Recordset& rs) {
    out += u"\"columns\":[";
    for (int field = 0; field < rs.FieldCount(); ++field) {
        if (field > 0)
            out += u',';
        AppendJsonString(out, rs.FieldName(field));
    }
    out += u"],\"rows\":[";
    for (qsizetype row = 0; row < rs.RecordCount(); ++row) {
        if (row > 0)
            out += u',';
        out += u'[';
        for (int field = 0; field < rs.FieldCount(); ++field) {
            if (field > 0)
                out += u',';
            AppendJsonValue(out, rs.Value(row, field), rs.FieldKind(field));
        }
        out += u']';
    }
    out += u']';
}

void AppendJsonColumnsAndRows(QString& out, std::shared_ptr<const odbc::ResultTable> table) {
    // Shown read-only, the kept result reads as any open result set does.
    Recordset rs;
    rs.Show(std::move(table));
    AppendJsonColumnsAndRows(out, rs);
}

QString FormatResult(const Recordset& rs, ResultFormat format) {
    switch (format) {
    case ResultFormat::Tsv:
        return Tsv(rs);
    case ResultFormat::Json:
        return Json(rs);
    case ResultFormat::Csv:
        return ResultCsvText(rs);
    case ResultFormat::Count:
        break;
    }
    return QString::number(rs.RecordCount()) + u'\n';
}

} // namespace brindle::cli
