// The part files being written at this moment, so that a program ended at once by a second
// Ctrl-C or SIGTERM still removes them. TextOutputFile registers each part file before it
// creates it and unregisters it once the file is renamed into place or removed; a signal
// handler calls removePartFilesNow(), which only uses async-signal-safe calls.
#pragma once

namespace pqwave {

// A slot number for unregisterPartFile(), or -1 when every slot is taken (the file is then
// only removed by its owner).
int registerPartFile(const char* path) noexcept;
void unregisterPartFile(int slot) noexcept;

// Unlinks every registered part file. After it has begun no file is registered again: a
// thread that tries waits for the program to end.
void removePartFilesNow() noexcept;

}  // namespace pqwave
