#include "data/odbc_column_values.h"
#include "data/odbc_object_errors.h"
#include "data/paste_to_excel.h"
#include "data/result_copy.h"
#include "data/result_save.h"
#include "support/file_size_limit.h"
#include "support/without_root_access.h"
#include "test_backends.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>

#include <limits>
#include <optional>
#include <vector>

namespace brindle::test {
namespace {

using namespace Qt::Literals::StringLiterals;

using Table = std::vector<std::vector<QString>>;

// RFC 4180 read back by its own rules: records end in CR LF (a lone CR or LF
// outside quotes is an error), a quoted field runs to a quote not followed
// by another. Nothing is returned for text that breaks the rules.
std::optional<Table> ParseDelimited(QStringView text, QChar separator) {
    Table table;
    std::vector<QString> record;
    QString field;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        if (text[i] == u'"') {
            ++i;
            for (;;) {
                if (i >= n)
                    return std::nullopt; // unclosed quote
                if (text[i] == u'"') {
                    if (i + 1 < n && text[i + 1] == u'"') {
                        field += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i++];
            }
        } else {
            while (i < n && text[i] != separator && text[i] != u'\r' && text[i] != u'\n') {
                if (text[i] == u'"')
                    return std::nullopt; // a quote inside an unquoted field
                field += text[i++];
            }
        }
        if (i < n && text[i] == separator) {
            record.push_back(std::exchange(field, {}));
            ++i;
            continue;
        }
        if (i + 1 < n && text[i] == u'\r' && text[i + 1] == u'\n') {
            record.push_back(std::exchange(field, {}));
            table.push_back(std::exchange(record, {}));
            i += 2;
            continue;
        }
        return std::nullopt; // a lone CR or LF, or no CR LF at the end
    }
    return table;
}

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

QStringList Entries(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Whether `text` reads back as `value`, by each kind's own written form.
bool ReadsBackAs(const QString& text, const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::LongLong:
        return text.toLongLong() == value.toLongLong() && !text.isEmpty();
    case QMetaType::Double: {
        bool ok = false;
        const double read = text.toDouble(&ok);
        return ok && read == value.toDouble(); // exactly: shortest round trip
    }
    case QMetaType::QDate:
        return QDate::fromString(text, u"yyyy-MM-dd") == value.toDate();
    case QMetaType::QTime: {
        const QTime time = value.toTime();
        return text == time.toString(time.msec() ? u"HH:mm:ss.zzz" : u"HH:mm:ss");
    }
    case QMetaType::QDateTime: {
        const QDateTime stamp = value.toDateTime();
        const QString format =
            stamp.time().msec() ? u"yyyy-MM-dd HH:mm:ss.zzz"_s : u"yyyy-MM-dd HH:mm:ss"_s;
        QDateTime read = QDateTime::fromString(text, format);
        read.setTimeSpec(Qt::UTC);
        return read.isValid() && read == stamp && read.time() == stamp.time();
    }
    case QMetaType::QByteArray:
        return text.startsWith(u"0x") && text.mid(2) == text.mid(2).toUpper() &&
               QByteArray::fromHex(text.mid(2).toLatin1()) == value.toByteArray();
    default:
        return text == value.toString(); // text and decimals whole
    }
}

// A result holding what a copy or a save must carry through: separators,
// line breaks, quotes, Japanese, empty text and NULL, numbers and dates.
class ResultCopySave : public DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(files.isValid());
        const QString decimal =
            backend().kind == BackendKind::SQLite ? u"decimal(20,4)"_s : u"numeric(20,4)"_s;
        Exec(u"CREATE TEMPORARY TABLE v (id integer, " + backend().quoted(u"名前, \"x\""_s) +
             u" varchar(200), f double precision, n " + decimal + u", d date, ts " +
             backend().timestampType + u", b " + backend().binaryType + u')');
        texts = {u"tab\there"_s,
                 u"line\nfeed"_s,
                 u"cr\r\nlf and lone\rcr"_s,
                 u"say \"hi\""_s,
                 u"a,b"_s,
                 JapaneseText(backend()),
                 u""_s,
                 QString(), // NULL
                 u"\""_s,
                 u"  spaces, \"all\"\t\r\n"_s};
        for (int i = 0; i < static_cast<int>(texts.size()); ++i) {
            const QString text = texts[i].isNull()
                                     ? u"NULL"_s
                                     : u'\'' + QString(texts[i]).replace(u"'"_s, u"''"_s) + u'\'';
            const QString rest =
                i % 3 == 2
                    ? u"NULL, NULL, NULL, NULL, NULL"_s
                    : QStringLiteral("%1, '12.3400', '%2-02-29', '1969-12-31 23:59:5%3.%4', %5")
                          .arg(i == 0 ? u"0.1 + 0.2"_s : u"-1.5e300"_s)
                          .arg(i == 1 ? u"0904"_s : u"2024"_s)
                          .arg(i)
                          .arg(i == 0 ? u"000"_s : u"250"_s)
                          .arg(backend().hexBytes(u"00ff10ab"_s));
            Exec(QStringLiteral("INSERT INTO v VALUES (%1, %2, %3)").arg(i).arg(text, rest));
        }
        Query(u"SELECT * FROM v ORDER BY id"_s);
    }

    QString Path(const QString& name) const { return QDir(files.path()).filePath(name); }

    // Every cell of rows, read back from its text, against the result set.
    void ExpectTable(const Table& table, bool names, const char* what) {
        SCOPED_TRACE(what);
        const qsizetype header = names ? 1 : 0;
        ASSERT_EQ(static_cast<qsizetype>(table.size()), rs.RecordCount() + header);
        if (names) {
            std::vector<QString> expected;
            for (int c = 0; c < rs.FieldCount(); ++c)
                expected.push_back(rs.FieldName(c));
            EXPECT_EQ(table[0], expected);
        }
        for (qsizetype row = 0; row < rs.RecordCount(); ++row) {
            const auto& record = table[static_cast<std::size_t>(row + header)];
            ASSERT_EQ(static_cast<int>(record.size()), rs.FieldCount()) << "row " << row;
            for (int c = 0; c < rs.FieldCount(); ++c) {
                const QVariant value = rs.Value(row, c);
                const QString& text = record[static_cast<std::size_t>(c)];
                if (value.isNull())
                    EXPECT_TRUE(text.isEmpty()) << "row " << row << " column " << c;
                else
                    EXPECT_TRUE(ReadsBackAs(text, value))
                        << "row " << row << " column " << c << ": " << text.toStdString();
            }
        }
    }

    CellBlock All() const {
        CellBlock all;
        all.rows.emplace_back(0, rs.RecordCount() - 1);
        for (int c = 0; c < rs.FieldCount(); ++c)
            all.columns.push_back(c);
        return all;
    }

    QTemporaryDir files;
    std::vector<QString> texts;
};

TEST_P(ResultCopySave, CopiedCellsPasteBackExactly) {
    ASSERT_EQ(rs.RecordCount(), static_cast<qsizetype>(texts.size()));
    for (const bool names : {true, false}) {
        const QString text = CopyCellsText(rs, All(), names);
        const std::optional<Table> table = ParseDelimited(text, u'\t');
        ASSERT_TRUE(table.has_value()) << text.toStdString();
        ExpectTable(*table, names, names ? "with names" : "without names");
    }
    // The texts themselves, whole (the NULL row an empty field).
    const std::optional<Table> table = ParseDelimited(CopyCellsText(rs, All(), false), u'\t');
    ASSERT_TRUE(table.has_value());
    for (std::size_t row = 0; row < texts.size(); ++row)
        EXPECT_EQ((*table)[row][1], texts[row].isNull() ? QString() : texts[row]) << row;
    // Plain values stay unquoted, as a spreadsheet would write them itself.
    EXPECT_EQ(CopyCellsText(rs, CellBlock{{{0, 0}}, {0, 2, 3, 4, 5, 6}}, false),
              u"0\t"_s +
                  QString::number(rs.Value(0, 2).toDouble(), 'g', QLocale::FloatingPointShortest) +
                  u'\t' + rs.Value(0, 3).toString() +
                  u"\t2024-02-29\t1969-12-31 23:59:50\t0x00FF10AB\r\n"_s);
}

TEST_P(ResultCopySave, CopyTakesTheSelectedRowsAndColumnsOnly) {
    const CellBlock block{{{1, 2}, {4, 4}, {8, 9}}, {0, 3}};
    QString expected = u"id\tn\r\n"_s;
    for (const int row : {1, 2, 4, 8, 9}) {
        const QVariant n = rs.Value(row, 3);
        expected +=
            QString::number(row) + u'\t' + (n.isNull() ? QString() : n.toString()) + u"\r\n";
    }
    EXPECT_EQ(CopyCellsText(rs, block, true), expected);
    EXPECT_EQ(CopyCellsText(rs, CellBlock{{{3, 3}}, {1}}, false), u"\"say \"\"hi\"\"\"\r\n"_s);
    EXPECT_EQ(CopyCellsText(rs, CellBlock{{{7, 7}}, {1, 0}}, false), u"\t7\r\n"_s)
        << "NULL is an empty field";
    EXPECT_EQ(CopyCellsText(rs, CellBlock{{{0, 0}}, {6}}, false), u"0x00FF10AB\r\n"_s);
    EXPECT_TRUE(CopyCellsText(rs, CellBlock{}, true).isEmpty());
    // Cells outside the result fail as Value does, before anything is read.
    EXPECT_EQ(ErrorOf([&] {
                  CopyCellsText(rs, CellBlock{{{9, 10}}, {0}}, false);
              }).number,
              err::NoCurrentRecord);
    EXPECT_EQ(ErrorOf([&] {
                  CopyCellsText(rs, CellBlock{{{0, 0}}, {7}}, false);
              }).number,
              err::ItemNotFound);
}

TEST_P(ResultCopySave, EditsShowInCopiesAndSaves) {
    // A pending edit, as the grid holds it before it is written back.
    rs.PendingEdits().push_back({1, 1, QVariant(u"edited, \"now\""_s)});
    rs.PendingEdits().push_back({1, 0, QVariant()});
    const CellBlock block{{{1, 1}}, {0, 1}};
    EXPECT_EQ(CopyCellsText(rs, block, false), u"\t\"edited, \"\"now\"\"\"\r\n"_s);
    SaveResult(rs, Path(u"edited.json"_s), ResultFileFormat::Json);
    const QJsonArray rows =
        QJsonDocument::fromJson(Bytes(Path(u"edited.json"_s))).object()[u"rows"].toArray();
    ASSERT_EQ(rows.size(), 10);
    EXPECT_TRUE(rows[1].toArray()[0].isNull());
    EXPECT_EQ(rows[1].toArray()[1].toString(), u"edited, \"now\""_s);
    rs.CancelUpdate();
    EXPECT_EQ(CopyCellsText(rs, block, false), u"1\t\"line\nfeed\"\r\n"_s);
}

TEST_P(ResultCopySave, EverySaveFormatReadsBackExactly) {
    // CSV, UTF-8 with a byte-order mark.
    SaveResult(rs, Path(u"r.csv"_s), ResultFileFormat::CsvUtf8);
    const QByteArray csv = Bytes(Path(u"r.csv"_s));
    ASSERT_TRUE(csv.startsWith("\xEF\xBB\xBF"));
    std::optional<Table> table = ParseDelimited(QString::fromUtf8(csv.mid(3)), u',');
    ASSERT_TRUE(table.has_value());
    ExpectTable(*table, true, "csv utf-8");

    // TSV: UTF-8 without a mark, quoted as the copy is.
    SaveResult(rs, Path(u"r.tsv"_s), ResultFileFormat::Tsv);
    const QByteArray tsv = Bytes(Path(u"r.tsv"_s));
    EXPECT_FALSE(tsv.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(QString::fromUtf8(tsv), CopyCellsText(rs, All(), true));
    table = ParseDelimited(QString::fromUtf8(tsv), u'\t');
    ASSERT_TRUE(table.has_value());
    ExpectTable(*table, true, "tsv");

    // JSON, read by Qt's own parser.
    SaveResult(rs, Path(u"r.json"_s), ResultFileFormat::Json);
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(Bytes(Path(u"r.json"_s)), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    const QJsonArray columns = json.object()[u"columns"].toArray();
    const QJsonArray rows = json.object()[u"rows"].toArray();
    ASSERT_EQ(columns.size(), rs.FieldCount());
    EXPECT_EQ(columns[1].toString(), rs.FieldName(1));
    ASSERT_EQ(rows.size(), rs.RecordCount());
    for (qsizetype row = 0; row < rs.RecordCount(); ++row) {
        const QJsonArray record = rows[row].toArray();
        ASSERT_EQ(record.size(), rs.FieldCount());
        for (int c = 0; c < rs.FieldCount(); ++c) {
            SCOPED_TRACE(testing::Message() << "json row " << row << " column " << c);
            const QVariant value = rs.Value(row, c);
            const QJsonValue cell = record[c];
            if (value.isNull()) {
                EXPECT_TRUE(cell.isNull());
            } else if (value.typeId() == QMetaType::LongLong) {
                EXPECT_EQ(cell.toInteger(), value.toLongLong());
            } else if (value.typeId() == QMetaType::Double) {
                EXPECT_EQ(cell.toDouble(), value.toDouble());
            } else if (rs.FieldKind(c) == odbc::ColumnKind::Decimal) {
                EXPECT_EQ(cell.toDouble(), value.toString().toDouble());
            } else if (value.typeId() == QMetaType::QByteArray) {
                EXPECT_EQ(cell.toString(), QString::fromLatin1(value.toByteArray().toHex()));
            } else {
                EXPECT_TRUE(cell.isString());
                EXPECT_TRUE(ReadsBackAs(cell.toString(), value)) << cell.toString().toStdString();
            }
        }
    }

    // CSV in code page 932: every Japanese character there has a form in it;
    // a character beyond the BMP has none, and says where it is.
    const QString cp932 = Path(u"r932.csv"_s);
    const Thrown thrown = ErrorOf([&] { SaveResult(rs, cp932, ResultFileFormat::CsvCp932); });
    if (backend().beyondBmp) {
        EXPECT_EQ(thrown.number, 5);
        EXPECT_TRUE(thrown.description.contains(u"6 行目")) << thrown.description.toStdString();
        EXPECT_FALSE(QFile::exists(cp932));
    } else {
        ASSERT_EQ(thrown.number, 0) << thrown.description.toStdString();
        QStringDecoder decoder("Shift_JIS");
        const QString decoded = decoder.decode(Bytes(cp932));
        ASSERT_FALSE(decoder.hasError());
        EXPECT_EQ(decoded, QString::fromUtf8(csv.mid(3)));
    }
}

TEST_P(ResultCopySave, AValueWithoutACodePage932FormFailsNamingItsCell) {
    Exec(u"CREATE TEMPORARY TABLE k (id integer, "_s + backend().quoted(u"名前"_s) +
         u" varchar(50))"_s);
    Exec(u"INSERT INTO k VALUES (1, '髙﨑①～')"_s);
    Exec(u"INSERT INTO k VALUES (2, 'ソウル 서울')"_s);
    Query(u"SELECT * FROM k ORDER BY id"_s);
    const QString path = Path(u"k.csv"_s);
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old\r\n");
    old.close();
    const Thrown thrown = ErrorOf([&] { SaveResult(rs, path, ResultFileFormat::CsvCp932); });
    EXPECT_EQ(thrown.number, 5);
    EXPECT_TRUE(thrown.description.contains(u"2 行目の列 \"名前\""))
        << thrown.description.toStdString();
    EXPECT_TRUE(thrown.description.contains(u"U+C11C")) << thrown.description.toStdString();
    EXPECT_EQ(Bytes(path), QByteArray("old\r\n"));
    EXPECT_EQ(Entries(files.path()), QStringList{u"k.csv"_s});
    // The same result saves as UTF-8.
    SaveResult(rs, path, ResultFileFormat::CsvUtf8);
    EXPECT_EQ(Bytes(path), QByteArray("\xEF\xBB\xBFid,名前\r\n1,髙﨑①～\r\n2,ソウル 서울\r\n"));
}

// Told of the rows; stops when asked to.
struct StoppingProgress final : public ExportProgress {
    void Begin(qsizetype records) override { total = records; }
    bool Written(qsizetype records) override {
        reported.push_back(records);
        return records < stopAt;
    }
    void End() override { ++ended; }
    qsizetype total = -1;
    qsizetype stopAt = std::numeric_limits<qsizetype>::max();
    std::vector<qsizetype> reported;
    int ended = 0;
};

TEST_P(ResultCopySave, AFailedOrStoppedSaveLeavesTheOldFileAndNoOther) {
    Query(u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 50000) "
          u"SELECT i, "_s +
          backend().concat(backend().concat(u"'row '"_s, u"i"_s), u"' 日本語のテキスト'"_s) +
          u" AS label FROM n ORDER BY i"_s);
    const QString path = Path(u"big.csv"_s);
    const QByteArray oldBytes("old,file\r\n");
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(oldBytes);
    old.close();

    // Nothing stops it: every row is told, the last count included.
    StoppingProgress whole;
    SaveResult(rs, Path(u"whole.csv"_s), ResultFileFormat::CsvUtf8, &whole);
    EXPECT_EQ(whole.total, 50000);
    ASSERT_FALSE(whole.reported.empty());
    EXPECT_EQ(whole.reported.back(), 50000);
    EXPECT_EQ(whole.ended, 1);
    ASSERT_TRUE(QFile::remove(Path(u"whole.csv"_s)));

    for (const ResultFileFormat format : {ResultFileFormat::CsvUtf8, ResultFileFormat::CsvCp932,
                                          ResultFileFormat::Tsv, ResultFileFormat::Json}) {
        SCOPED_TRACE(static_cast<int>(format));
        StoppingProgress stopping;
        stopping.stopAt = 10000;
        Thrown thrown = ErrorOf([&] { SaveResult(rs, path, format, &stopping); });
        EXPECT_EQ(thrown.number, err::Cancelled);
        EXPECT_FALSE(thrown.description.isEmpty());
        EXPECT_EQ(stopping.ended, 1);
        ASSERT_FALSE(stopping.reported.empty());
        EXPECT_GE(stopping.reported.back(), 10000);
        EXPECT_LT(stopping.reported.back(), 50000);
        EXPECT_EQ(Bytes(path), oldBytes);
        EXPECT_EQ(Entries(files.path()), QStringList{u"big.csv"_s});

        // A full disk: the file may not grow beyond 64 KB.
        {
            const FileSizeLimit limit(64 * 1024);
            ASSERT_TRUE(limit.active());
            thrown = ErrorOf([&] { SaveResult(rs, path, format); });
        }
        EXPECT_EQ(thrown.number, 61);
        EXPECT_TRUE(thrown.description.contains(QDir::toNativeSeparators(path)))
            << thrown.description.toStdString();
        EXPECT_EQ(Bytes(path), oldBytes);
        EXPECT_EQ(Entries(files.path()), QStringList{u"big.csv"_s});

        // A folder that cannot be written.
        ASSERT_TRUE(
            QFile::setPermissions(files.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        {
            const WithoutRootAccess asUser;
            ASSERT_TRUE(asUser.active());
            thrown = ErrorOf([&] { SaveResult(rs, path, format); });
        }
        QFile::setPermissions(files.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ExeOwner);
        EXPECT_EQ(thrown.number, err::PermissionDenied);
        EXPECT_TRUE(thrown.description.contains(QDir::toNativeSeparators(path)))
            << thrown.description.toStdString();
        EXPECT_EQ(Bytes(path), oldBytes);
        EXPECT_EQ(Entries(files.path()), QStringList{u"big.csv"_s});
    }

    // A folder that does not exist, and a closed result set.
    EXPECT_EQ(ErrorOf([&] { SaveResult(rs, Path(u"none/x.csv"_s), ResultFileFormat::Tsv); }).number,
              err::PathNotFound);
    rs.Close();
    EXPECT_EQ(ErrorOf([&] { SaveResult(rs, path, ResultFileFormat::Tsv); }).number,
              err::ObjectClosed);
    EXPECT_EQ(Bytes(path), oldBytes);
}

BRINDLE_ALL_BACKENDS(ResultCopySave);

} // namespace
} // namespace brindle::test
