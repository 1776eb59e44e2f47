// A run that writes far more than its recording holds (a moving FFT with a short step) must
// not fill the disk: it compares what it plans to write with the free space first.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace pqwave {

// "1.6 GB", "21 MB", "512 bytes": a size a person reads at a glance.
std::string byteSizeText(std::uintmax_t bytes);

// Refuses with both numbers when `plannedBytes` exceed the space available in `folder` (the
// folder of the outputs); `what` begins the message ("REC.MEM: the moving FFT").
void requireFreeSpace(const std::filesystem::path& folder, std::uintmax_t plannedBytes, const std::string& what);

}  // namespace pqwave
