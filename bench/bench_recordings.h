// Large generated recordings for the benchmarks, written once per process into the
// temporary folder and read from the page cache afterwards.
#pragma once

#include <filesystem>

namespace pqwave::bench {

// A 16-channel, 1,000,000-sample recording of the given data layout (seven circuits on a
// three-phase supply where the layout records waveforms).
std::filesystem::path largeRecording(int layout);

}  // namespace pqwave::bench
