#include "support/xlsx_reader.h"

#include <QJsonDocument>
#include <QProcess>

namespace brindle::test {

QJsonValue XlsxContents::cell(int row, int column) const {
    return rows.at(row - 1).toArray().at(column - 1);
}

QString XlsxContents::format(int row, int column) const {
    return formats.at(row - 1).toArray().at(column - 1).toString();
}

XlsxContents ReadXlsx(const QString& path) {
    XlsxContents contents;
    QProcess reader;
    reader.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(BRINDLE_READ_XLSX_SCRIPT), path});
    if (!reader.waitForFinished(120000) || reader.exitStatus() != QProcess::NormalExit ||
        reader.exitCode() != 0) {
        contents.error = QStringLiteral("read_xlsx failed: ") +
                         QString::fromUtf8(reader.readAllStandardError()) + reader.errorString();
        return contents;
    }
    QJsonParseError parse{};
    const QJsonObject sheet =
        QJsonDocument::fromJson(reader.readAllStandardOutput(), &parse).object();
    if (parse.error != QJsonParseError::NoError) {
        contents.error = QStringLiteral("read_xlsx printed no JSON: ") + parse.errorString();
        return contents;
    }
    contents.maxRow = sheet.value(u"max_row").toInt();
    contents.maxColumn = sheet.value(u"max_column").toInt();
    contents.rows = sheet.value(u"rows").toArray();
    contents.formats = sheet.value(u"formats").toArray();
    contents.columnFormats = sheet.value(u"column_formats").toObject();
    return contents;
}

} // namespace brindle::test
