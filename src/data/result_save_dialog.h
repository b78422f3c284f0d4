#pragma once

#include "data/result_save.h"

#include <QString>

#include <optional>

class QWidget;

namespace brindle {

// Where a result is saved and in which format.
struct ResultSaveChoice {
    QString path;
    ResultFileFormat format = ResultFileFormat::CsvUtf8;
};

// Asks where to save a result; nothing when the user cancels.
class ResultSaveDialogService {
public:
    virtual ~ResultSaveDialogService() = default;
    virtual std::optional<ResultSaveChoice> Show(QWidget* parent, const QString& initialPath) = 0;
};

// Qt's own save dialog with a filter per format (CSV in UTF-8 first); the
// format's extension is added to a name typed without one, and an existing
// file is asked about before it is replaced.
class QtResultSaveDialogService final : public ResultSaveDialogService {
public:
    std::optional<ResultSaveChoice> Show(QWidget* parent, const QString& initialPath) override;
};

ResultSaveDialogService& DefaultResultSaveDialogService();

} // namespace brindle
