#pragma once

#include "store/store_paths.h"

#include <QString>

#include <optional>

namespace brindle::store {

// Small choices of the user that outlive the program, by name (such as
// "editor.line_numbers"); they are kept in the local store, not among the
// settings of Brindle.ini.
class Preferences {
public:
    virtual ~Preferences() = default;
    // Nothing when the choice was never made or cannot be read.
    virtual std::optional<QString> Read(const QString& name) = 0;
    // Throws Error when it cannot be kept.
    virtual void Write(const QString& name, const QString& value) = 0;
};

// The preferences in the local store. Each call opens the store for itself:
// they are read at start-up and written when the user changes one.
class StoredPreferences final : public Preferences {
public:
    explicit StoredPreferences(StorePaths paths) : m_paths(std::move(paths)) {}
    std::optional<QString> Read(const QString& name) override;
    // Makes the store as the journal would, but leaves a damaged one to the
    // journal, which moves it aside and says so.
    void Write(const QString& name, const QString& value) override;

private:
    StorePaths m_paths;
};

} // namespace brindle::store
