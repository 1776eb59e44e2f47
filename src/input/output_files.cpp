#include "input/output_files.h"

#include "input/output_target.h"

namespace pqwave {

TextOutputFile& OutputFiles::create(const std::filesystem::path& path, TextOutputFile::Mode mode) {
    refuseRecordingAsOutput(path, recording_);
    return keep(std::make_unique<TextOutputFile>(path, mode));
}

TextOutputFile& OutputFiles::keep(std::unique_ptr<TextOutputFile> file) {
    files_.push_back(std::move(file));
    return *files_.back();
}

void OutputFiles::commit() {
    for (auto& file : files_) file->finish();
    for (auto& file : files_) file->commit();
}

std::vector<TextOutputFile*> OutputFiles::files() const {
    std::vector<TextOutputFile*> all;
    for (const auto& file : files_) all.push_back(file.get());
    return all;
}

}  // namespace pqwave
