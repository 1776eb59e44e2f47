// The one mapping from whatever a user action throws to what the user is told: an Error keeps
// its kind and text, a cancel says the unfinished output was removed, and running out of memory
// or any other failure becomes a message naming the file, never an abort.
#pragma once

#include <exception>
#include <string>

#include "common/error.h"

namespace pqwave {

struct Failure {
    ErrorKind kind = ErrorKind::CannotRead;
    std::string message;  // one line naming `subject`
};

// `failure` is the exception being handled; `subject` is the file or folder the action was on.
Failure failureOf(std::exception_ptr failure, const std::string& subject);

// Runs `work`; when it throws, hands the failure to `report` and returns false.
template <typename Work, typename Report>
bool reportingFailure(const std::string& subject, Work&& work, Report&& report) {
    try {
        work();
        return true;
    } catch (...) {
        report(failureOf(std::current_exception(), subject));
        return false;
    }
}

}  // namespace pqwave
