// The few kinds of failure a user can act on, each with a precise message inside.
// The CLI maps the kinds to exit statuses; the window shows the message.
#pragma once

#include <stdexcept>
#include <string>

namespace pqwave {

enum class ErrorKind {
    CannotRead,     // a file cannot be opened or read
    Malformed,      // a file is shorter than its header promises or declares impossible counts
    CannotWrite,    // an output file cannot be created, written or renamed into place
    Arithmetic,     // a run divides by zero or produces a value that does not fit its type
    NotRecognized,  // the file is not an instrument file this program knows
    NotAvailable,   // the command is not available with these settings
    Cancelled,      // the user stopped the run
};

class Error : public std::runtime_error {
public:
    Error(ErrorKind kind, const std::string& message) : std::runtime_error(message), kind_(kind) {}
    ErrorKind kind() const { return kind_; }

private:
    ErrorKind kind_;
};

class ArithmeticError : public Error {
public:
    explicit ArithmeticError(const std::string& message) : Error(ErrorKind::Arithmetic, message) {}
};

}  // namespace pqwave
