#include "common/output_path.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "common/error.h"
#include "common/file_kind.h"
#include "common/messages.h"

namespace pqwave {
namespace {

namespace fs = std::filesystem;

// As many links as the system itself follows before it gives up with ELOOP.
constexpr int kMaxLinks = 40;

[[noreturn]] void refuse(const fs::path& name, const std::string& why) {
    throw Error(ErrorKind::CannotWrite, name.string() + ": " + why);
}

// The name a link that points nowhere would create: each link of the chain read in turn,
// a relative target taken from the folder of the link that names it.
fs::path endOfDanglingChain(const fs::path& name) {
    fs::path at = name;
    for (int links = 0; links <= kMaxLinks; ++links) {
        struct stat st;
        if (::lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return at;
        std::vector<char> target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1);
        const ssize_t length = ::readlink(at.c_str(), target.data(), target.size());
        if (length < 0) refuse(name, systemReason(errno));
        if (static_cast<std::size_t>(length) >= target.size()) refuse(name, tr("the link changed while it was read"));
        const fs::path next(std::string(target.data(), static_cast<std::size_t>(length)));
        at = next.is_absolute() ? next : at.parent_path() / next;
    }
    refuse(name, systemReason(ELOOP));
}

}  // namespace

OutputPath resolveOutputPath(const fs::path& name) {
    if (name == "-") return {OutputPath::Kind::StandardOutput, name};
    if (name.empty()) refuse(name, tr("no output file name"));
    struct stat st;
    if (::stat(name.c_str(), &st) != 0) {
        if (errno != ENOENT) refuse(name, systemReason(errno));
        return {OutputPath::Kind::File, endOfDanglingChain(name)};
    }
    if (S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode)) return {OutputPath::Kind::Stream, name};
    if (!S_ISREG(st.st_mode)) refuse(name, tr("not a file an output can replace ({0})", {fileKindOf(st.st_mode)}));
    struct stat own;
    if (::lstat(name.c_str(), &own) == 0 && !S_ISLNK(own.st_mode)) return {OutputPath::Kind::File, name};
    std::error_code ec;
    fs::path target = fs::canonical(name, ec);
    if (ec) refuse(name, systemReason(ec.value()));
    return {OutputPath::Kind::File, target};
}

}  // namespace pqwave
