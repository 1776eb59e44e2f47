// Inputs with which the fuzz targets broke the header reader or the loader, rebuilt here by
// cutting or patching generated recordings. Each goes through the targets' own path (where a
// sanitizer build catches the fault) and through the window, where its outcome is checked.
#include <gtest/gtest.h>

#include "fuzz/fuzz_recording.h"
#include "support/recording_host.h"

namespace pqwave {
namespace {

using testing::StartedModel;
using testing::TestFolder;

void putI32le(std::vector<std::byte>& bytes, std::size_t offset, std::int32_t value) {
    auto u = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::byte>(u >> (8 * i) & 0xFF);
}

void runTargets(const std::vector<std::byte>& bytes) {
    auto data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    fuzz::runRecording(data, bytes.size(), fuzz::Depth::HeaderOnly);
    fuzz::runRecording(data, bytes.size(), fuzz::Depth::HeaderAndSamples);
}

// A two-channel 886x recording: 3 header blocks, so its tagged part begins at offset 1536.
std::vector<std::byte> recording886() {
    gen::RecordingSpec spec;
    spec.layout = 86;
    spec.sampleCount = 20;
    spec.channels.assign(2, gen::ChannelSpec{});
    return gen::generateRecording(spec).bytes;
}
constexpr std::size_t kTagged = 3 * 512;

TEST(FuzzFindings, An886xInformationBlockOfLengthZeroLoadsNoData) {
    std::vector<std::byte> bytes = recording886();
    putI32le(bytes, kTagged + 16, 0);  // an empty information block: nothing is read from it
    runTargets(bytes);

    TestFolder folder;
    folder.writeBytes("EMPTY.MEM", bytes);
    StartedModel m(folder);
    m.click("EMPTY.MEM");
    try {
        m.form.DTLood();
        ADD_FAILURE() << "a recording without data loaded";
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find("EMPTY.MEM: no sample data found"), std::string::npos);
    }
    EXPECT_TRUE(m.form.LoadedFileName().empty());
}

}  // namespace
}  // namespace pqwave
