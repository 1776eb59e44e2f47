// COMTRADE export (IEEE Std C37.111-1999): a loaded recording as NAME.cfg + NAME.dat, so that
// disturbance viewers and analysis libraries open it with the scaling and ratios applied.
// Plain values in, files out: the caller chooses channels, scaling and samples.
//
// NAME.cfg, ASCII text, every line ended by CR LF, fields separated by ",":
//   1  station_name,rec_dev_id,rev_year        names 0-64 characters; rev_year "1999"
//   2  TT,##A,##D                              channel total, analog count & "A", digital & "D"
//   3  An,ch_id,ph,ccbm,uu,a,b,skew,min,max,primary,secondary,PS     one line per analog channel
//        An index from 1; ch_id 0-64 characters; ph phase (0-2) and ccbm circuit (0-64), left
//        empty; uu unit (1-32); a, b real (1-32): value = a x code + b; skew in us; min, max
//        integers (1-6): the lowest and highest code written; primary, secondary real (1-32);
//        PS "P" or "S": whether a x code + b is on the primary or the secondary side
//   4  Dn,ch_id,ph,ccbm,y                      one line per digital channel; y normal state 0/1
//   5  lf                                      line frequency in Hz
//   6  nrates                                  sampling rates in the file (here 1)
//   7  samp,endsamp                            rate in Hz (real), number of its last sample
//   8  dd/mm/yyyy,hh:mm:ss.ssssss              time of the first sample in the file
//   9  dd/mm/yyyy,hh:mm:ss.ssssss              time of the trigger
//  10  ft                                      "ASCII" or "BINARY"
//  11  timemult                                factor of the timestamps (real)
//
// NAME.dat, one record per sample:
//   ASCII   n,timestamp,A1..Ak,D1..Dm CR LF, integers: n from 1 (1-10 characters),
//           timestamp (1-10), analog codes (-99999..99998; 99999 means no data), digital 0/1
//   BINARY  bytes 1-4 n and 5-8 timestamp, unsigned 32-bit little-endian; then 2 bytes per
//           analog channel, signed 16-bit little-endian, -32768 (0x8000) meaning no data;
//           then the digital channels, 16 to a 2-byte little-endian word, channel 1 in the
//           least significant bit of the first word, unused bits 0
// The time of a sample is timestamp x timemult microseconds after the first sample. With a
// sampling rate given (nrates 1, samp > 0) readers take the time from the rate; the timestamps
// agree with it exactly: timestamp = sample number - 1 and timemult = the sampling period in
// microseconds, which stays exact from 20 MHz to one sample a minute and cannot overflow.
//
// A recorded code of -32768 would read as "no data" in BINARY. A channel that holds it but
// never 32767 is written shifted up by one code with b = -a, so every value stays exact in both
// forms; a channel holding both extremes writes -32768 as -32767 in BINARY and counts it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "common/progress.h"
#include "input/output_files.h"
#include "input/sample_table.h"

namespace pqwave {

enum class ComtradeFormat { Binary, Ascii };

struct ComtradeAnalogChannel {
    std::string name;  // written when COMTRADE can hold it, else "ch<n>" (n its index from 1)
    std::string unit;  // of a x code + b, on the secondary side
    int column = 0;    // of the sample table
    double a = 0;      // value of one code
    // The primary value is primary / secondary times the secondary value.
    double primary = 1;
    double secondary = 1;
};

struct ComtradeDigitalChannel {
    std::string name;
    int column = 0;  // of the sample table
    int bit = 0;     // of the value in that column
};

struct ComtradeSettings {
    std::string recordingName;  // named in messages
    std::string stationName;    // replaced by "recording" when it cannot be written
    std::string deviceId;       // replaced by "unknown" when it cannot be written
    ComtradeFormat format = ComtradeFormat::Binary;
    std::vector<ComtradeAnalogChannel> analog;
    std::vector<ComtradeDigitalChannel> digital;
    double lineFrequency = 50;

    // Samples exported: the sample counter runs from `firstSample` while at most `lastSample`,
    // `step` (at least 1) apart, and each value rounded half to even names a row of the table.
    double firstSample = 0;
    double lastSample = -1;
    float step = 1;

    // Time: sample s lies s x samplePeriodSeconds after sample 0, and the trigger (the start
    // the header gives) preTriggerSamples periods after sample 0.
    double samplePeriodSeconds = 0;
    double preTriggerSamples = 0;
    std::int64_t triggerMicroseconds = 0;  // since 1899-12-30 00:00
};

struct ComtradeResult {
    std::int64_t samples = 0;
    std::int64_t lowestCodesRaised = 0;  // BINARY codes -32768 written as -32767
};

// NAME.dat beside NAME.cfg, with the extension in the same letter case.
std::filesystem::path comtradeDataPath(const std::filesystem::path& cfgPath);

// Writes the .dat and the .cfg into `files`, which puts both in place together once complete.
// Reports progress and stops when asked to (Cancelled).
ComtradeResult writeComtrade(const ComtradeSettings& settings, const RawSampleTable& table,
                             const std::filesystem::path& cfgPath, Progress& progress, OutputFiles& files);

}  // namespace pqwave
