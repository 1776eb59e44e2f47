// Slots of fixed size, so that the signal handler reads nothing that a thread could free or
// move. A path is written only after its slot is taken and while no handler has begun; the
// handler says so before it reads any slot, so it never reads a path being written.
#include "common/part_files.h"

#include <limits.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace pqwave {
namespace {

// Enough for every file of a 64-job all-files run that is complete and waiting its turn.
constexpr int kSlots = 256;
enum SlotState : int { kFree, kTaken, kRegistered };

struct Slot {
    std::atomic<int> state{kFree};
    char path[PATH_MAX];
};

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "a signal handler may only touch lock-free atomics");

Slot slots[kSlots];
std::atomic<bool> removing{false};

// The program is about to end: a thread that would write a slot now waits for that instead.
void waitForTheEnd() noexcept {
    for (;;) ::pause();
}

}  // namespace

int registerPartFile(const char* path) noexcept {
    const std::size_t length = std::strlen(path);
    if (length >= PATH_MAX) return -1;
    for (int i = 0; i < kSlots; ++i) {
        int expected = kFree;
        if (!slots[i].state.compare_exchange_strong(expected, kTaken)) continue;
        if (removing.load()) waitForTheEnd();
        std::memcpy(slots[i].path, path, length + 1);
        slots[i].state.store(kRegistered);
        return i;
    }
    return -1;
}

void unregisterPartFile(int slot) noexcept {
    if (slot >= 0 && slot < kSlots) slots[slot].state.store(kFree);
}

void removePartFilesNow() noexcept {
    removing.store(true);
    for (Slot& slot : slots)
        if (slot.state.load() == kRegistered) ::unlink(slot.path);
}

}  // namespace pqwave
