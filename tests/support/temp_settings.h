#pragma once

#include <QString>
#include <QTemporaryDir>

namespace brindle::test {

// Points the settings store (and the other per-user directories) at a fresh
// temporary directory for the lifetime of the object.
class TempSettings {
public:
    TempSettings();
    ~TempSettings();
    TempSettings(const TempSettings&) = delete;
    TempSettings& operator=(const TempSettings&) = delete;

    QString path() const { return m_dir.path(); }
    // The whole settings file as text (empty when it does not exist).
    QString FileText() const;

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
};

} // namespace brindle::test
