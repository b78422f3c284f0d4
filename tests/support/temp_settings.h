#pragma once

#include "support/temp_config_home.h"

#include <QString>

namespace brindle::test {

// Points the settings store (and the other per-user directories) at a fresh
// temporary directory for the lifetime of the object.
class TempSettings {
public:
    QString path() const { return m_home.path(); }
    // The whole settings file as text (empty when it does not exist).
    QString FileText() const;

private:
    TempConfigHome m_home;
};

} // namespace brindle::test
