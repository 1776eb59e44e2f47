#include "input/sample_table.h"

#include <sys/mman.h>

#include <cstdlib>
#include <new>

namespace pqwave {
namespace {

// Tables of a few megabytes and more are mapped directly and offered huge pages: a
// million-sample recording then takes a few dozen page faults instead of thousands.
constexpr std::size_t kMappedBytes = std::size_t{4} << 20;

}  // namespace

std::int16_t* RawSampleTable::allocateZeroedCells(std::size_t count) {
    if (count > SIZE_MAX / sizeof(std::int16_t)) throw std::bad_alloc();
    std::size_t bytes = count * sizeof(std::int16_t);
    if (bytes < kMappedBytes) {
        void* p = std::calloc(count, sizeof(std::int16_t));
        if (!p) throw std::bad_alloc();
        return static_cast<std::int16_t*>(p);
    }
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    madvise(p, bytes, MADV_HUGEPAGE);
#endif
    return static_cast<std::int16_t*>(p);
}

void sample_table_detail::freeCells(std::int16_t* cells, std::size_t count) {
    if (!cells) return;
    std::size_t bytes = count * sizeof(std::int16_t);
    if (bytes < kMappedBytes)
        std::free(cells);
    else
        munmap(cells, bytes);
}

}  // namespace pqwave
