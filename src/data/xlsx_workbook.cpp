#include "data/xlsx_workbook.h"

#include "core/error.h"

#include <QDir>
#include <QFileInfo>

#include <xlsxwriter.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace brindle {

namespace {

QString Native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

Error CannotWrite(const QString& path, const QString& reason) {
    return Error(WorkbookCreateError,
                 QStringLiteral("ブックを作成できません。ファイル \"%1\" に書き込めません。%2")
                     .arg(Native(path), reason));
}

Error RangeError(const QString& reason) {
    return Error(WorkbookRangeError, QStringLiteral("シートに値を書き込めません。") + reason);
}

QString LxwReason(lxw_error error) {
    return QString::fromUtf8(lxw_strerror(error));
}

bool IsHex(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// Spreadsheets read "_xHHHH_" in a cell's text as the character HHHH (the
// writer uses it for control characters), so a text that holds such a run
// itself gets its underscore escaped, and reads back as it was.
QString EscapeLiteralEscapes(const QString& text) {
    if (!text.contains(u"_x"))
        return text;
    QString out;
    out.reserve(text.size() + 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool escape = text.at(i) == u'_' && i + 6 < text.size() && text.at(i + 1) == u'x' &&
                            IsHex(text.at(i + 2)) && IsHex(text.at(i + 3)) &&
                            IsHex(text.at(i + 4)) && IsHex(text.at(i + 5)) &&
                            text.at(i + 6) == u'_';
        out += escape ? QStringLiteral("_x005F_") : QString(text.at(i));
    }
    return out;
}

// A new file gets the usual permissions, not the private ones of a
// temporary file; a replaced file keeps its own.
void SetFinalPermissions(const QString& temp, const QString& target) {
    mode_t mode = 0;
    struct stat existing {};
    if (::stat(QFile::encodeName(target).constData(), &existing) == 0 && existing.st_size > 0) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::chmod(QFile::encodeName(temp).constData(), mode);
}

} // namespace

void XlsxWorkbook::BookFree::operator()(lxw_workbook* book) const {
    lxw_workbook_free(book);
}

XlsxWorkbook::XlsxWorkbook(WorkbookTarget target) : m_target(std::move(target)) {
    const QFileInfo info(m_target.path);
    const QString directory = info.absolutePath();
    m_temp.setFileTemplate(
        QDir(directory).filePath(u'.' + info.fileName() + QStringLiteral(".XXXXXX")));
    if (!m_temp.open())
        throw CannotWrite(m_target.path, m_temp.errorString());
    m_temp.close();
    m_tempName = QFile::encodeName(m_temp.fileName());
    // The rows wait on the same disk as the workbook, which is known to take files.
    m_tmpDir = QFile::encodeName(directory);

    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = m_tmpDir.data();
    options.use_zip64 = LXW_TRUE;
    m_book.reset(workbook_new_opt(m_tempName.constData(), &options));
    if (m_book)
        m_sheet = workbook_add_worksheet(m_book.get(), nullptr);
    if (!m_sheet)
        throw CannotWrite(m_target.path, QStringLiteral("一時ファイルを作成できません。"));
}

XlsxWorkbook::~XlsxWorkbook() {
    if (!m_finished && m_target.reserved)
        QFile::remove(m_target.path);
}

void XlsxWorkbook::checkOpen() const {
    if (!m_book)
        throw RangeError(QStringLiteral("ブックはもう閉じています。"));
}

void XlsxWorkbook::SetColumnNumberFormat(int column, const QString& format) {
    checkOpen();
    if (column < 1 || column > LXW_COL_MAX)
        throw RangeError(QStringLiteral("列 %1 はシートにありません。").arg(column));
    lxw_format* cells = workbook_add_format(m_book.get());
    if (!cells)
        throw RangeError(QStringLiteral("書式を作成できません。"));
    format_set_num_format(cells, format.toUtf8().constData());
    const auto col = static_cast<lxw_col_t>(column - 1);
    const lxw_error error = worksheet_set_column(m_sheet, col, col, LXW_DEF_COL_WIDTH, cells);
    if (error != LXW_NO_ERROR)
        throw RangeError(LxwReason(error));
    if (m_columnFormats.size() < static_cast<size_t>(column))
        m_columnFormats.resize(static_cast<size_t>(column), nullptr);
    m_columnFormats[static_cast<size_t>(column - 1)] = cells;
}

lxw_format* XlsxWorkbook::cellFormat(int column) const {
    const auto index = static_cast<size_t>(column - 1);
    return index < m_columnFormats.size() ? m_columnFormats[index] : nullptr;
}

void XlsxWorkbook::write(int row, int column, const QString& value) {
    // Into one buffer kept across cells: a million cells cost no allocation each.
    const QString text = EscapeLiteralEscapes(value);
    m_utf8.resize(text.size() * 3 + 1);
    char* end = m_encoder.appendToBuffer(m_utf8.data(), text);
    *end = '\0';
    const lxw_error error = worksheet_write_string(m_sheet, static_cast<lxw_row_t>(row - 1),
                                                   static_cast<lxw_col_t>(column - 1),
                                                   m_utf8.constData(), cellFormat(column));
    if (error != LXW_NO_ERROR)
        throw RangeError(LxwReason(error));
}

void XlsxWorkbook::SetCellValue(int row, int column, const QString& value) {
    checkOpen();
    if (row < 1 || row > LXW_ROW_MAX || column < 1 || column > LXW_COL_MAX)
        throw RangeError(
            QStringLiteral("セル (%1, %2) はシートにありません。").arg(row).arg(column));
    write(row, column, value);
}

void XlsxWorkbook::SetRangeValue(int row, int column, const SheetBlock& block) {
    checkOpen();
    // All or nothing: the whole range must lie on the sheet before a value goes in.
    const qint64 bottom = qint64{row} + block.rows() - 1;
    const qint64 right = qint64{column} + block.columns() - 1;
    if (row < 1 || column < 1 || bottom > LXW_ROW_MAX || right > LXW_COL_MAX) {
        throw RangeError(QStringLiteral("範囲 (%1, %2) - (%3, %4) はシートに入りません。")
                             .arg(row)
                             .arg(column)
                             .arg(bottom)
                             .arg(right));
    }
    for (int r = 0; r < block.rows(); ++r) {
        for (int c = 0; c < block.columns(); ++c) {
            const QString& value = block.at(r, c);
            if (!value.isEmpty())
                write(row + r, column + c, value);
        }
    }
}

void XlsxWorkbook::Finish() {
    checkOpen();
    // workbook_close frees the workbook whether or not the file could be written.
    const lxw_error error = workbook_close(m_book.release());
    if (error != LXW_NO_ERROR)
        throw CannotWrite(m_target.path, LxwReason(error));
    SetFinalPermissions(m_temp.fileName(), m_target.path);
    if (std::rename(m_tempName.constData(), QFile::encodeName(m_target.path).constData()) != 0)
        throw CannotWrite(m_target.path, QString::fromLocal8Bit(std::strerror(errno)));
    m_finished = true;
}

} // namespace brindle
