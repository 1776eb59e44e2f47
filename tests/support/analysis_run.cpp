#include "support/analysis_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

namespace pqwave::testing {

AnalysisRun::AnalysisRun(const gen::RecordingSpec& spec) {
    folder.write("REC.MEM", spec);
    model.click("REC.MEM");
    setText(form.Text5, folder.file("out.csv").string());
}

CsvFile AnalysisRun::run() {
    click(form.Command1);
    EXPECT_TRUE(model.host.errors.empty()) << model.host.errors.front();
    return CsvFile(folder.file("out.csv"));
}

std::size_t column(const CsvFile& csv, const std::string& name) {
    const auto& header = csv.rows.at(1);
    auto it = std::find(header.begin(), header.end(), name);
    if (it == header.end()) throw std::runtime_error("no column " + name);
    return static_cast<std::size_t>(it - header.begin());
}

double value(const CsvFile& csv, std::size_t line, const std::string& name) {
    return csv.number(line, column(csv, name));
}

gen::RecordingSpec supplyRecording(const gen::ThreePhaseSupply& supply, int samples) {
    gen::RecordingSpec spec;
    spec.timePerDivision = "50ms";
    spec.sampleCount = samples;
    spec.channels = gen::threePhaseChannels(supply);
    return spec;
}

gen::ThreePhaseSupply supplyWith(std::vector<gen::Circuit> circuits) {
    gen::ThreePhaseSupply supply;
    supply.circuits = std::move(circuits);
    return supply;
}

gen::RecordingSpec displayRecording(bool reverse) {
    gen::ThreePhaseSupply supply;
    supply.voltageRange = "50V";
    supply.reverse = reverse;
    supply.circuits = {{100, 20, 200, {}}};
    gen::RecordingSpec spec;
    spec.layout = 40;
    spec.timePerDivision = "50ms";
    spec.sampleCount = 20000;
    spec.channels = gen::threePhaseChannels(supply);
    return spec;
}

}  // namespace pqwave::testing
