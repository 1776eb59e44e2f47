// A fresh folder per test, removed afterwards, and helpers to put generated recordings in it.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tools/recording_generator.h"

namespace pqwave::testing {

class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path file(const std::string& name) const { return path_ / name; }

    // Writes the recording and returns what the generator stored.
    gen::GeneratedRecording write(const std::string& name, const gen::RecordingSpec& spec) const;
    void writeBytes(const std::string& name, const std::vector<std::byte>& bytes) const;
    std::vector<std::byte> readBytes(const std::string& name) const;
    std::string readText(const std::string& name) const;

private:
    std::filesystem::path path_;
};

}  // namespace pqwave::testing
