// The files one conversion writes, held until the conversion is complete: each is checked
// against the recordings before anything is written to it (never the recording being read, nor
// another recording), and all are put in place together, so a conversion that fails leaves no
// new file and every earlier one as it was.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/text_output_file.h"

namespace pqwave {

class OutputFiles {
public:
    // `recording` is the file the conversion reads.
    explicit OutputFiles(std::filesystem::path recording) : recording_(std::move(recording)) {}
    virtual ~OutputFiles() = default;
    OutputFiles(const OutputFiles&) = delete;
    OutputFiles& operator=(const OutputFiles&) = delete;

    // A new output, complete only once commit() has run.
    virtual TextOutputFile& create(const std::filesystem::path& path,
                                   TextOutputFile::Mode mode = TextOutputFile::Mode::Replace);
    // Completes every file, then puts every file in place.
    void commit();

    std::vector<TextOutputFile*> files() const;
    bool empty() const { return files_.empty(); }

protected:
    TextOutputFile& keep(std::unique_ptr<TextOutputFile> file);

private:
    std::filesystem::path recording_;
    std::vector<std::unique_ptr<TextOutputFile>> files_;
};

}  // namespace pqwave
