#pragma once
// The one exception type of the program: a reply (or any bytes from the network) that cannot be read.
// Handlers catch it at their entry and hand it to the general error handler.
#include <QString>
#include <stdexcept>

class EReadError : public std::runtime_error {
public:
    explicit EReadError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};
