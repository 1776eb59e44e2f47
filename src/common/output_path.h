// Where an output named by the user really goes. A symbolic link is followed to its final
// target, which is replaced and the link kept; a FIFO, a character device and "-" (standard
// output) are written straight into, as a pipe or a terminal expects; a folder or anything
// else a file cannot replace is refused. TextOutputFile writes through this, and the check that
// an output is no recording looks at the same target.
#pragma once

#include <filesystem>

namespace pqwave {

struct OutputPath {
    enum class Kind {
        File,            // a regular file, or none yet: written beside `target` and renamed onto it
        Stream,          // a FIFO or character device at `target`, written straight into
        StandardOutput,  // "-"
    };
    Kind kind = Kind::File;
    std::filesystem::path target;
};

// Throws Error (CannotWrite) naming `name` when no file can be written there: a folder, a
// block device, a socket, a loop of links, a path the system refuses to look up.
OutputPath resolveOutputPath(const std::filesystem::path& name);

}  // namespace pqwave
