#pragma once

#include <QString>

#include <stdexcept>

// An error that ends the running handler. Its text is what the user reads in the
// application's error box, exactly as the system words it.
class Error : public std::runtime_error {
public:
    explicit Error(const QString &text);

    QString text() const { return m_text; }

private:
    QString m_text;
};
