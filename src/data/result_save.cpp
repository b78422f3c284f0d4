#include "data/result_save.h"

#include "core/error.h"
#include "data/json_text.h"
#include "data/odbc_object_errors.h"
#include "data/paste_to_excel.h"
#include "data/recordset.h"
#include "data/result_cell_text.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringEncoder>

#include <optional>

namespace brindle {

namespace {

// Text is encoded and written this many UTF-16 units at a time (about 64 KB),
// so memory stays the same however many rows there are.
constexpr qsizetype PieceUnits = 32 * 1024;
// The progress hears of the rows this often.
constexpr qsizetype ProgressRows = 4096;

constexpr int DiskFull = 61;
constexpr int NoCodePageForm = 5;

constexpr char CodePage932[] = "Shift_JIS";

QString Native(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

Error CannotCreateError(const QString& path, const QString& reason) {
    const QFileInfo info(path);
    if (!info.absoluteDir().exists())
        return {err::PathNotFound,
                QStringLiteral("ファイルを保存できません。フォルダー \"%1\" が見つかりません。")
                    .arg(QDir::toNativeSeparators(info.absolutePath()))};
    return {err::PermissionDenied,
            QStringLiteral("ファイルを保存できません。\"%1\" を作成できません (%2)。フォルダーに"
                           "書き込めるかどうか確認してください。")
                .arg(Native(path), reason)};
}

Error WriteFailedError(const QString& path, const QString& reason) {
    return {DiskFull,
            QStringLiteral("ファイルを保存できません。\"%1\" への書き込み中にエラーが発生しました "
                           "(%2)。ディスクの空き領域を確認してください。元のファイルは変更されて"
                           "いません。")
                .arg(Native(path), reason)};
}

Error SaveCancelledError() {
    return {err::Cancelled,
            QStringLiteral("保存はキャンセルされました。元のファイルは変更されていません。")};
}

Error NoCodePageError() {
    return {NoCodePageForm,
            QStringLiteral("Shift_JIS (コード ページ 932) の文字コード変換を利用できません。")};
}

// The first character of text that code page 932 has no form for, with its
// code point; empty when every one has.
QString FirstWithoutCp932(QStringView text) {
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype length =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2
                                                                                             : 1;
        const QStringView character = text.sliced(i, length);
        QStringEncoder encoder(CodePage932);
        const QByteArray bytes = encoder.encode(character); // encodes only when taken
        if (encoder.hasError()) {
            const char32_t code = character.toUcs4().value(0);
            return QStringLiteral("\"%1\" (U+%2)")
                .arg(character.toString(),
                     QString::number(code, 16).toUpper().rightJustified(4, u'0'));
        }
        i += length;
    }
    return {};
}

// Tells the progress where the save stands; End however it ends.
class ProgressScope {
public:
    ProgressScope(ExportProgress* progress, qsizetype total) : m_progress(progress) {
        if (m_progress)
            m_progress->Begin(total);
    }
    ~ProgressScope() {
        if (m_progress)
            m_progress->End();
    }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

    // False when the user stops the save.
    bool Written(qsizetype rows) {
        m_reported = rows;
        return !m_progress || m_progress->Written(rows);
    }
    qsizetype Reported() const { return m_reported; }

private:
    ExportProgress* m_progress;
    qsizetype m_reported = 0;
};

// The text of a result in one format: the names (and JSON's opening), a
// piece per row, and JSON's close.
class ResultTextLayout {
public:
    ResultTextLayout(const Recordset& rs, ResultFileFormat format)
        : m_rs(rs), m_cells(rs), m_json(format == ResultFileFormat::Json),
          m_separator(format == ResultFileFormat::Tsv ? u'\t' : u',') {}

    void AppendHeader(QString& out) const {
        const int fields = m_rs.FieldCount();
        if (m_json) {
            out += u"{\"columns\":[";
            for (int field = 0; field < fields; ++field) {
                if (field > 0)
                    out += u',';
                AppendJsonString(out, m_rs.FieldName(field));
            }
            out += u"],\"rows\":[";
            return;
        }
        for (int field = 0; field < fields; ++field) {
            if (field > 0)
                out += m_separator;
            AppendDelimitedField(out, m_rs.FieldName(field), m_separator);
        }
        out += u"\r\n";
    }

    void AppendRow(QString& out, qsizetype row) const {
        const int fields = m_rs.FieldCount();
        if (m_json) {
            out += row > 0 ? u",[" : u"[";
            for (int field = 0; field < fields; ++field) {
                if (field > 0)
                    out += u',';
                m_cells.AppendJson(out, row, field);
            }
            out += u']';
            return;
        }
        for (int field = 0; field < fields; ++field) {
            if (field > 0)
                out += m_separator;
            m_cells.AppendDelimited(out, row, field, m_separator);
        }
        out += u"\r\n";
    }

    void AppendEnd(QString& out) const {
        if (m_json)
            out += u"]}\n";
    }

    const ResultCellWriter& Cells() const { return m_cells; }

private:
    const Recordset& m_rs;
    ResultCellWriter m_cells;
    bool m_json;
    QChar m_separator;
};

class ResultFileWriter {
public:
    ResultFileWriter(const Recordset& rs, const QString& path, ResultFileFormat format)
        : m_rs(rs), m_layout(rs, format), m_path(path), m_file(path), m_format(format) {
        if (format == ResultFileFormat::CsvCp932) {
            m_cp932.emplace(CodePage932, QStringConverter::Flag::Stateless);
            if (!m_cp932->isValid())
                throw NoCodePageError();
        }
        if (!m_file.open(QIODevice::WriteOnly))
            throw CannotCreateError(path, m_file.errorString());
        m_piece.reserve(PieceUnits + PieceUnits / 4);
    }

    void Write(ExportProgress* progress) {
        const qsizetype records = m_rs.RecordCount();
        ProgressScope scope(progress, records);
        if (m_format == ResultFileFormat::CsvUtf8)
            writeBytes(QByteArrayLiteral("\xEF\xBB\xBF"));
        m_layout.AppendHeader(m_piece);
        flush(-1, 0);
        qsizetype pieceStart = 0;
        for (qsizetype row = 0; row < records; ++row) {
            m_layout.AppendRow(m_piece, row);
            if (m_piece.size() >= PieceUnits) {
                flush(pieceStart, row + 1);
                pieceStart = row + 1;
            }
            if ((row + 1) % ProgressRows == 0 && !scope.Written(row + 1))
                cancel();
        }
        m_layout.AppendEnd(m_piece);
        flush(pieceStart, records);
        if (records > scope.Reported() && !scope.Written(records))
            cancel();
        if (!m_file.commit())
            throw WriteFailedError(m_path, m_file.errorString());
    }

private:
    // Encodes and writes the piece, which holds the rows from `first` up to
    // `end` (the column names when first is -1).
    void flush(qsizetype first, qsizetype end) {
        if (m_cp932) {
            const QByteArray bytes = m_cp932->encode(m_piece);
            if (m_cp932->hasError())
                throw cp932Failure(first, end);
            writeBytes(bytes);
        } else {
            writeBytes(m_piece.toUtf8());
        }
        m_piece.clear();
    }

    void writeBytes(const QByteArray& bytes) {
        if (m_file.write(bytes) != bytes.size()) {
            const QString reason = m_file.errorString();
            m_file.cancelWriting();
            throw WriteFailedError(m_path, reason);
        }
    }

    [[noreturn]] void cancel() {
        m_file.cancelWriting();
        throw SaveCancelledError();
    }

    // Names the first value of those rows that code page 932 cannot hold.
    Error cp932Failure(qsizetype first, qsizetype end) {
        m_file.cancelWriting();
        const QString tail =
            QStringLiteral("UTF-8 で保存してください。ファイルは保存されていません。");
        const int fields = m_rs.FieldCount();
        if (first < 0) {
            for (int field = 0; field < fields; ++field) {
                const QString bad = FirstWithoutCp932(m_rs.FieldName(field));
                if (!bad.isEmpty())
                    return {NoCodePageForm,
                            QStringLiteral("列名 \"%1\" に Shift_JIS (コード ページ 932) で書けない"
                                           "文字 %2 があります。")
                                    .arg(m_rs.FieldName(field), bad) +
                                tail};
            }
        }
        for (qsizetype row = std::max<qsizetype>(first, 0); row < end; ++row) {
            for (int field = 0; field < fields; ++field) {
                const QString bad = FirstWithoutCp932(m_layout.Cells().Text(row, field));
                if (!bad.isEmpty())
                    return {NoCodePageForm,
                            QStringLiteral("%1 行目の列 \"%2\" の値に Shift_JIS (コード ページ "
                                           "932) で書けない文字 %3 があります。")
                                    .arg(QString::number(row + 1), m_rs.FieldName(field), bad) +
                                tail};
            }
        }
        return {NoCodePageForm,
                QStringLiteral("Shift_JIS (コード ページ 932) で書けない文字があります。") + tail};
    }

    const Recordset& m_rs;
    ResultTextLayout m_layout;
    QString m_path;
    QSaveFile m_file;
    ResultFileFormat m_format;
    std::optional<QStringEncoder> m_cp932;
    QString m_piece;
};

} // namespace

void SaveResult(const Recordset& rs, const QString& path, ResultFileFormat format,
                ExportProgress* progress) {
    (void)rs.RecordCount(); // 3704 while closed, before any file is made
    ResultFileWriter writer(rs, path, format);
    writer.Write(progress);
}

QString ResultCsvText(const Recordset& rs) {
    const ResultTextLayout layout(rs, ResultFileFormat::CsvUtf8);
    QString out;
    layout.AppendHeader(out);
    const qsizetype records = rs.RecordCount();
    for (qsizetype row = 0; row < records; ++row)
        layout.AppendRow(out, row);
    return out;
}

} // namespace brindle
