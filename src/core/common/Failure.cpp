#include "core/common/Failure.h"

Failure::Failure(int number, QString description, QString source)
    : number_(number),
      description_(std::move(description)),
      source_(std::move(source)),
      utf8_(description_.toUtf8()) {}

Failure Failure::InvalidArgument() {
    return {FailureNumber::InvalidArgument, QStringLiteral("Invalid procedure call or argument")};
}

Failure Failure::Overflow() { return {FailureNumber::Overflow, QStringLiteral("Overflow")}; }

Failure Failure::OutOfMemory() { return {FailureNumber::OutOfMemory, QStringLiteral("Out of memory")}; }

Failure Failure::SubscriptOutOfRange() {
    return {FailureNumber::SubscriptOutOfRange, QStringLiteral("Subscript out of range")};
}

Failure Failure::DivisionByZero() {
    return {FailureNumber::DivisionByZero, QStringLiteral("Division by zero")};
}

Failure Failure::TypeMismatch() { return {FailureNumber::TypeMismatch, QStringLiteral("Type mismatch")}; }
