#include "common/failure.h"

#include <new>

#include "common/messages.h"
#include "common/progress.h"

namespace pqwave {

Failure failureOf(std::exception_ptr failure, const std::string& subject) {
    try {
        std::rethrow_exception(failure);
    } catch (const Cancelled&) {
        return {ErrorKind::Cancelled, tr("{0}: cancelled; the unfinished output was removed", {subject})};
    } catch (const Error& error) {
        return {error.kind(), error.what()};
    } catch (const std::bad_alloc&) {
        return {ErrorKind::CannotRead, tr("{0}: not enough memory for this recording", {subject})};
    } catch (const std::exception& error) {
        return {ErrorKind::CannotRead, subject + ": " + error.what()};
    } catch (...) {
        return {ErrorKind::CannotRead, tr("{0}: the command failed", {subject})};
    }
}

}  // namespace pqwave
