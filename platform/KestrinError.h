#pragma once

#include <QString>

#include <exception>

// The one error type of the program. It carries the text that the user sees; the command guard
// of a window catches it and shows it in the error box. Raised where the failure happens, never
// wrapped into return codes.
class KestrinError : public std::exception
{
public:
    explicit KestrinError(QString message) : m_message(std::move(message)) {}

    const QString& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return "KestrinError"; }

private:
    QString m_message;
};
