#pragma once

#include "arrange/arrange_table.h"
#include "shell/error_box_sink.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <ostream>
#include <vector>

// Readable failure messages: the text in quotes with CR, LF and tab escaped.
void PrintTo(const QString& text, std::ostream* os);

namespace brindle::test {

// Keeps every error box instead of showing it.
class RecordingErrorSink final : public ErrorBoxSink {
public:
    void ShowErrMsg(const Error& error) override {
        numbers.push_back(error.number());
        texts.push_back(error.numbered());
    }
    std::vector<int> numbers;
    std::vector<QString> texts;
};

// The lines joined by CR LF, as the editor holds a query.
QString Lines(const QStringList& lines);

// Text in code page 932, as keyword files are stored.
QByteArray EncodeCp932(const QString& text);

// A keyword file in a directory of its own that disappears with the object.
class KeywordFile {
public:
    KeywordFile();
    const QString& path() const { return m_path; }
    const QString& dir() const { return m_dirPath; }
    // A caption line, then the rows, joined by CR LF, in code page 932.
    void WriteRows(const QStringList& rows);
    void WriteText(const QString& text);
    void WriteBytes(const QByteArray& bytes);

private:
    QTemporaryDir m_dir;
    QString m_dirPath;
    QString m_path;
};

// The file rows of a table, each keyword quoted so that commas and blanks
// survive (keywords holding a double quote cannot be written).
QStringList RowsOf(const ArrangeTable& table);

// The small table of the documentation: SELECT, FROM, WHERE, AND, then the
// comma, all level 1, the words of kind 1 and the comma of kind 0.
ArrangeTable ExampleTable();

} // namespace brindle::test
