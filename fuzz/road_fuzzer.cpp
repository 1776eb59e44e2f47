#include "fuzz/fuzz_road.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pqwave::fuzz::runRoad(data, size);
    return 0;
}
