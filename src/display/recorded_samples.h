// The part of SampleTable that holds the recording: its samples (the table keeps one spare
// row after them) and its analogue columns (logic columns follow them). The display windows
// read through this, so they never draw the spare row or a logic column as a channel.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "control/display_view.h"

namespace pqwave {

struct RecordedSamples {
    std::shared_ptr<const Recording> owner;  // keeps the table while the view reads it
    const RawSampleTable* table = nullptr;
    std::size_t rows = 0;
    std::size_t columns = 0;

    bool contains(std::size_t row, std::size_t column) const { return row < rows && column < columns; }
    std::int16_t operator()(std::size_t row, std::size_t column) const { return (*table)(row, column); }
    const std::int16_t* row(std::size_t row) const { return table->row(row); }
};

// The recorded rows and analog columns of the recording in memory; nothing without one.
inline RecordedSamples recordedSamples(const DisplayView& view) {
    static const RawSampleTable kNoSamples;
    RecordedSamples s;
    s.owner = view.recording;
    s.table = view.recording ? &view.recording->table : &kNoSamples;
    if (!view.recording) return s;
    const RecordingFacts& f = view.recording->facts;
    const double count = f.sampleCount > 0 ? f.sampleCount : 0;
    s.rows = std::min(s.table->rows(), static_cast<std::size_t>(std::min(count, 1e15)));
    const int analog = std::max(f.channelCount(), 0) * (f.rms() ? 2 : 1);
    s.columns = std::min(s.table->columns(), static_cast<std::size_t>(analog));
    return s;
}

}  // namespace pqwave
