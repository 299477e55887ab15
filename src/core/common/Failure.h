#pragma once

#include <QString>

#include <exception>

// A run-time failure that abandons the operation in progress. Handlers catch it
// and show its description in the "Error" box; operations never return status codes.
class Failure : public std::exception {
public:
    Failure(int number, QString description, QString source = {});

    int Number() const noexcept { return number_; }
    const QString& Description() const noexcept { return description_; }
    const QString& Source() const noexcept { return source_; }
    const char* what() const noexcept override { return utf8_.constData(); }

    static Failure InvalidArgument();
    static Failure Overflow();
    static Failure OutOfMemory();
    static Failure SubscriptOutOfRange();
    static Failure DivisionByZero();
    static Failure TypeMismatch();

private:
    int number_;
    QString description_;
    QString source_;
    QByteArray utf8_;
};

// Classic run-time error numbers, kept so that callers and tests can tell failures apart.
namespace FailureNumber {
inline constexpr int InvalidArgument = 5;
inline constexpr int Overflow = 6;
inline constexpr int OutOfMemory = 7;
inline constexpr int SubscriptOutOfRange = 9;
inline constexpr int DivisionByZero = 11;
inline constexpr int TypeMismatch = 13;
}  // namespace FailureNumber
