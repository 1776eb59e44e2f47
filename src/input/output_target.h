// The one check every output name passes before a run writes anything: an output never
// replaces the recording being read, nor any file the header reader recognises as a
// recording. Links are followed as TextOutputFile follows them, so a link to a recording is
// refused too; a FIFO or a device is written into, never replaced, and passes.
#pragma once

#include <filesystem>

namespace pqwave {

// Throws Error (CannotWrite) naming `output` when writing there would replace a recording,
// or when nothing can be written there at all (a folder, a loop of links).
void refuseRecordingAsOutput(const std::filesystem::path& output, const std::filesystem::path& recordingBeingRead);

}  // namespace pqwave
