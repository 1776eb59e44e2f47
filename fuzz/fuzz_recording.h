// Shared by the fuzz targets: the input is a recording in memory that goes through the header
// reader and, for the loader target, through the loader, by the rules the main window applies
// between a click and a load. The input's last byte also picks the channel settings a user can
// change (assignment, inversion, the 8840 block swap), so the loader's paths for them are reached.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pqwave::fuzz {

enum class Depth { HeaderOnly, HeaderAndSamples };

void runRecording(const std::uint8_t* data, std::size_t size, Depth depth);

}  // namespace pqwave::fuzz
