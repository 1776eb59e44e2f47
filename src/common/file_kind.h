// How the operating system sees a path, in words for messages: what kind of file it is (a
// FIFO, a folder, a device) and why a call failed. Both inputs and outputs refuse anything but
// the kinds of file they can use, and name the kind they found.
#pragma once

#include <sys/types.h>

#include <string>

namespace pqwave {

// "a FIFO", "a folder", "a character device", ... for the file type bits of `mode`.
std::string fileKindOf(mode_t mode);

// The system's text for `error`, starting lower case as the rest of a message does.
std::string systemReason(int error);

}  // namespace pqwave
