#pragma once

#include <QString>
#include <exception>

namespace pas_lib {

// The program's plain exception: carries a user-readable message.
class Exception : public std::exception
{
public:
    explicit Exception(QString message) : FMessage(std::move(message)), FUtf8(FMessage.toUtf8()) {}
    const QString& Message() const noexcept { return FMessage; }
    const char* what() const noexcept override { return FUtf8.constData(); }

private:
    QString FMessage;
    QByteArray FUtf8;
};

} // namespace pas_lib
