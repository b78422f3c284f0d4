#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace brindle {

// The common file dialogs: the chosen full path, or nothing when cancelled.
class FileDialogService {
public:
    virtual ~FileDialogService() = default;
    virtual std::optional<QString> ShowOpen(QWidget* parent, const QString& initialPath) = 0;
    virtual std::optional<QString> ShowSave(QWidget* parent, const QString& initialPath) = 0;
};

// The font dialog: face name, size, bold and italic only.
struct FontChoice {
    QString name;
    double size = 10;
    bool bold = false;
    bool italic = false;
    friend bool operator==(const FontChoice&, const FontChoice&) = default;
};

class FontDialogService {
public:
    virtual ~FontDialogService() = default;
    virtual std::optional<FontChoice> Show(QWidget* parent, const FontChoice& initial) = 0;
};

class MessageBoxService;

// Qt's own file dialog with the SQL filter first; asks before overwriting,
// asks before accepting a name that does not exist, refuses read-only files.
class QtFileDialogService final : public FileDialogService {
public:
    explicit QtFileDialogService(MessageBoxService& boxes) : m_boxes(boxes) {}
    std::optional<QString> ShowOpen(QWidget* parent, const QString& initialPath) override;
    std::optional<QString> ShowSave(QWidget* parent, const QString& initialPath) override;

private:
    std::optional<QString> Show(QWidget* parent, const QString& initialPath, bool save);
    MessageBoxService& m_boxes;
};

// Qt's own font dialog offering what the program keeps: name, style, size.
class QtFontDialogService final : public FontDialogService {
public:
    std::optional<FontChoice> Show(QWidget* parent, const FontChoice& initial) override;
};

} // namespace brindle
