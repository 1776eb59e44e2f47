// The whole road for the fuzz target that follows one input past the loader: the header read,
// the load, and one processing picked by the input's last bytes (every processing of the main
// window, the export, the waveform and vector windows), all writing into memory.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pqwave::fuzz {

void runRoad(const std::uint8_t* data, std::size_t size);

}  // namespace pqwave::fuzz
