// Shared by the fuzz targets: the input becomes a file that the main-window model clicks,
// so the header reader and the loader run through the same path as in the program. A few
// settings that change how samples are stored are taken from the input's last byte.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pqwave::fuzz {

enum class Depth { HeaderOnly, HeaderAndSamples };

void runRecording(const std::uint8_t* data, std::size_t size, Depth depth);

}  // namespace pqwave::fuzz
