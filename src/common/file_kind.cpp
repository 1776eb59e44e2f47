#include "common/file_kind.h"

#include <sys/stat.h>

#include <cstring>

#include "common/messages.h"

namespace pqwave {

std::string fileKindOf(mode_t mode) {
    if (S_ISREG(mode)) return tr("a regular file");
    if (S_ISDIR(mode)) return tr("a folder");
    if (S_ISFIFO(mode)) return tr("a FIFO");
    if (S_ISCHR(mode)) return tr("a character device");
    if (S_ISBLK(mode)) return tr("a block device");
    if (S_ISSOCK(mode)) return tr("a socket");
    if (S_ISLNK(mode)) return tr("a symbolic link");
    return tr("a special file");
}

std::string systemReason(int error) {
    std::string text = std::strerror(error);
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z' && (text.size() < 2 || text[1] < 'A' || text[1] > 'Z'))
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

}  // namespace pqwave
