#pragma once

#include "shell/error_box_sink.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <vector>

namespace brindle::test {

// Keeps the "number:description" text of every box.
class RecordingErrorBoxes final : public ErrorBoxSink {
public:
    void ShowErrMsg(const Error& error) override;
    QStringList shown;
    std::vector<int> numbers;
};

// A keyword file in a temporary directory of its own.
class TempKeywordFile {
public:
    TempKeywordFile();
    // Writes the lines in code page 932, each ended by CR LF, after a caption.
    void WriteLines(const QStringList& lines);
    void WriteBytes(const QByteArray& bytes);
    QString path() const;
    QString dirPath() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

} // namespace brindle::test
