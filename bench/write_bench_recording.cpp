// Writes the benchmarks' recording to a file, for timing whole commands (pqwave-cli beside a
// numpy script) on it: write_bench_recording SAMPLES FILE. Layout 41, 16 channels at 2 kHz.
// The instrument's header holds the record length in divisions and the reader takes its first
// four characters, so 200 samples per division keep a 1,000,000-sample record's 5000
// divisions whole and the recording time (LabSTim) right.
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "bench/bench_recordings.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: write_bench_recording SAMPLES FILE\n");
        return 2;
    }
    pqwave::gen::RecordingSpec spec = pqwave::bench::benchRecordingSpec(41, std::atoi(argv[1]));
    spec.samplesPerDivision = 200;
    spec.timePerDivision = "100ms";
    try {
        pqwave::gen::writeRecording(spec, argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[2], e.what());
        return 1;
    }
    return 0;
}
