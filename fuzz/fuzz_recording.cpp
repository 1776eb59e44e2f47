#include "fuzz/fuzz_recording.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <span>

#include "common/error.h"
#include "control/form1_model.h"
#include "input/header.h"

namespace pqwave::fuzz {
namespace {

std::filesystem::path scratchFolder() {
    std::filesystem::path base =
        std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    std::filesystem::path folder = base / ("pqwave-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    return folder;
}

void applyOptions(Form1Model& form, std::uint8_t options) {
    if (options & 1) setValue(form.Check16, 1);
    if (options & 2) setListIndex(form.Combo1[0], (options >> 4) & 15);
    if (options & 4) setValue(form.Check17[options >> 4 & 15], 1);
    if (options & 8) select(form.Option1[(options >> 4) % 5]);
}

}  // namespace

void runRecording(const std::uint8_t* data, std::size_t size, Depth depth) {
    static const std::filesystem::path folder = scratchFolder();
    static const std::filesystem::path file = folder / "INPUT.MEM";
    auto bytes = std::as_bytes(std::span(data, size));
    try {
        (void)parseHeader(bytes, "input");
    } catch (const Error&) {
    }
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    Form1Model form(folder);
    form.Form_Load(2026);
    form.Dir1_Change(folder.string());
    if (size > 0) applyOptions(form, data[size - 1]);
    form.File1_Click("INPUT.MEM");
    if (depth == Depth::HeaderOnly || form.FileRecognized != -1) return;
    try {
        form.DTLood();
    } catch (const Error&) {
        // A refused file is a fine outcome; a crash or a sanitizer report is not.
    }
}

}  // namespace pqwave::fuzz
