#include "fuzz/fuzz_recording.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pqwave::fuzz::runRecording(data, size, pqwave::fuzz::Depth::HeaderOnly);
    return 0;
}
