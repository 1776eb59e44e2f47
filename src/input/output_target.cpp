#include "input/output_target.h"

#include <sys/stat.h>

#include <string>
#include <variant>

#include "common/error.h"
#include "common/messages.h"
#include "common/output_path.h"
#include "common/text.h"
#include "input/header.h"

namespace pqwave {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void refuse(const fs::path& output, const std::string& why) {
    throw Error(ErrorKind::CannotWrite, tr("{0}: {1}; the output needs another name", {output.string(), why}));
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// On a card mounted without letter case, REC.DAT and REC.dat are one file.
bool sameNameIgnoringCase(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    const fs::path x = fs::absolute(a, ec).lexically_normal(), y = fs::absolute(b, ec).lexically_normal();
    return x.parent_path() == y.parent_path() &&
           toLowerAscii(x.filename().string()) == toLowerAscii(y.filename().string());
}

// A file that starts as a recording counts as one even when it is cut short.
bool holdsRecording(const fs::path& file) {
    try {
        return !std::holds_alternative<UnrecognizedHeader>(readHeader(file));
    } catch (const Error& error) {
        return error.kind() == ErrorKind::Malformed;
    }
}

}  // namespace

void refuseRecordingAsOutput(const fs::path& output, const fs::path& recordingBeingRead) {
    const OutputPath where = resolveOutputPath(output);
    if (where.kind != OutputPath::Kind::File) return;
    struct stat target, recording;
    const bool targetExists = ::stat(where.target.c_str(), &target) == 0;
    const bool recordingExists = !recordingBeingRead.empty() && ::stat(recordingBeingRead.c_str(), &recording) == 0;
    if ((targetExists && recordingExists && sameFile(target, recording)) ||
        (!recordingBeingRead.empty() &&
         (sameNameIgnoringCase(output, recordingBeingRead) || sameNameIgnoringCase(where.target, recordingBeingRead))))
        refuse(output, tr("this is the recording being read"));
    if (targetExists && S_ISREG(target.st_mode) && holdsRecording(where.target))
        refuse(output, tr("a recording is there and is never written over"));
}

}  // namespace pqwave
