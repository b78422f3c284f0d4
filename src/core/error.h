#pragma once

#include <QString>

#include <exception>

namespace brindle {

// The one error type of the program: a number and a description, as the
// platform's run-time errors carry them. Stand-ins for platform objects throw
// it; each procedure traps it where its design says it traps.
class Error : public std::exception {
public:
    Error(int number, QString description)
        : m_number(number), m_description(std::move(description)) {}

    int number() const noexcept { return m_number; }
    const QString& description() const noexcept { return m_description; }
    // The "number:description" form of the keyword-table error boxes.
    QString numbered() const { return QString::number(m_number) + u':' + m_description; }

    const char* what() const noexcept override { return "brindle::Error"; }

private:
    int m_number;
    QString m_description;
};

// Error numbers the program tests or reports by number.
namespace err {
inline constexpr int Overflow = 6;
inline constexpr int OutOfMemory = 7;
inline constexpr int SubscriptOutOfRange = 9;
inline constexpr int TypeMismatch = 13;
inline constexpr int FileNotFound = 53;
inline constexpr int PermissionDenied = 70;
inline constexpr int PathNotFound = 76;
inline constexpr int InvalidPropertyValue = 380;
inline constexpr int ObjectOpen = 3705;
inline constexpr int ArgumentsWrongType = 3001;
inline constexpr int DialogCancelled = 32755;
} // namespace err

// Errors with the program's own Japanese descriptions.
Error OverflowError();
Error OutOfMemoryError();
Error SubscriptError();
Error TypeMismatchError();
Error InvalidPropertyError();

} // namespace brindle
