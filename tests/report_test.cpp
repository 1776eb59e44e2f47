// pqwave-cli report end to end on a generated survey with known dips, swells, an interruption
// and harmonics: the document is well formed, its numbers are those of the engine's files,
// the events fall in the classification cells the signal's definition puts them in, a user's
// limit set changes the verdict and names itself, and a folder makes one survey.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "app/cli.h"
#include "report/report_texts.h"
#include "support/cli_run.h"
#include "support/csv_file.h"
#include "support/report_survey.h"
#include "support/test_folder.h"
#include "support/xhtml_index.h"

namespace pqwave {
namespace {

using testing::cli;
using testing::CliRun;

namespace fs = std::filesystem;
using testing::CsvFile;
using testing::TestFolder;
using testing::XhtmlIndex;

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::size_t column(const CsvFile& file, const std::string& header) {
    const auto& names = file.rows[1];
    const auto it = std::find(names.begin(), names.end(), header);
    if (it == names.end()) throw std::runtime_error("no column " + header);
    return static_cast<std::size_t>(it - names.begin());
}

// The values of a column on the rows without a flag, and how many rows have one.
std::vector<double> unflagged(const CsvFile& file, const std::string& header, int* flagged = nullptr) {
    std::vector<double> values;
    int count = 0;
    for (std::size_t line = 2; line < file.rows.size(); ++line) {
        if (file.rows[line][2] == "1") {
            ++count;
            continue;
        }
        values.push_back(file.number(line, column(file, header)));
    }
    if (flagged) *flagged = count;
    return values;
}

// The nearest-rank 95th percentile, worked here from its definition.
double percentile95(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t rank = static_cast<std::size_t>(std::ceil(0.95 * static_cast<double>(values.size())));
    return values.at(rank - 1);
}

class ReportTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new TestFolder;
        folder_->write("SURVEY.MEM", testing::surveyRecording());
        ASSERT_EQ(cli({"pq", file(), "--nominal", "6600"}).status, 0);
        const CliRun run = cli({"report", file(), "--nominal", "6600", "--lang", "ja"});
        ASSERT_EQ(run.status, 0) << run.err;
        ASSERT_EQ(run.err, "pqwave-cli: wrote " + output("06D13-49-55_PQreport.html").string() + "\n");
    }
    static void TearDownTestSuite() { delete folder_; }

    static std::string file() { return folder_->file("SURVEY.MEM").string(); }
    static fs::path output(const std::string& name) { return folder_->file(name); }

    static TestFolder* folder_;
};

TestFolder* ReportTest::folder_ = nullptr;

TEST_F(ReportTest, IsOneWellFormedDocumentWithItsPicturesInside) {
    const std::string html = readText(output("06D13-49-55_PQreport.html"));
    const XhtmlIndex report(html);
    ASSERT_EQ(report.error, "");
    EXPECT_EQ(report.language, "ja");
    EXPECT_EQ(report.pictures, 8 + 2);  // U, f, u2, THD, Pst and Plt, P, Q, PF; harmonics; events
    for (const char* outside : {"<script", "src=\"", "href=\"", "url("})
        EXPECT_EQ(html.find(outside), std::string::npos);
    EXPECT_NE(html.find("@media print"), std::string::npos);
    EXPECT_NE(html.find("size: A4"), std::string::npos);
    EXPECT_EQ(untranslatedReportTexts(), std::set<std::string>{});
    EXPECT_EQ(report.at("recording-1").text.find("SURVEY.MEM"), 0u);
    EXPECT_NE(report.byId.count("short-survey"), 0u);  // 30 minutes judged on what they hold
}

TEST_F(ReportTest, HoldsTheNumbersOfTheEngineFiles) {
    const XhtmlIndex report(readText(output("06D13-49-55_PQreport.html")));
    const CsvFile summary(output("06D13-49-55_PQ.csv")), harmonics(output("06D13-49-55_PQharm.csv"));

    // The ten minutes of 14:00 and 14:10 hold no event; the others are flagged.
    int flagged = 0;
    const std::vector<double> u12 = unflagged(summary, "U12(V)", &flagged);
    ASSERT_EQ(u12.size(), 2u);
    const auto& voltage = report.at("verdict-voltage-U12");
    EXPECT_EQ(voltage.number("data-used"), 2);
    EXPECT_EQ(voltage.number("data-left-out"), flagged);
    std::vector<double> deviations;
    for (double v : u12) deviations.push_back(std::abs(v - 6600) / 6600 * 100);
    EXPECT_NEAR(voltage.number("data-percentile"), percentile95(deviations), 1e-4);
    EXPECT_EQ(voltage.attributes.at("data-outcome"), "pass");

    // THD from the 5th and 7th: sqrt(5^2 + 3^2) = 5.83 %.
    const auto& thd = report.at("verdict-thd-U31");
    EXPECT_NEAR(thd.number("data-percentile"), percentile95(unflagged(summary, "THD_U31(%)")), 1e-4);
    EXPECT_NEAR(thd.number("data-percentile"), std::sqrt(34.0), 0.05 * std::sqrt(34.0));

    for (const char* line : {"U12", "U23", "U31"})
        for (int order : {3, 5, 7}) {
            const std::string header = std::string(line) + "_H" + std::to_string(order) + "(%)";
            const double fromFile = percentile95(unflagged(harmonics, header));
            const std::string id = std::string("h-") + line + "-" + std::to_string(order);
            EXPECT_NEAR(std::stod(report.at(id).text), fromFile, 6e-4) << id;
        }
    EXPECT_NEAR(std::stod(report.at("h-U12-5").text), 5.0, 0.25);
    EXPECT_NEAR(std::stod(report.at("h-U23-7").text), 3.0, 0.15);
    // The 5th is nearer its 6 % than the 7th its 5 %.
    EXPECT_EQ(report.at("verdict-harmonics-U12").number("data-order"), 5);
}

TEST_F(ReportTest, ClassifiesEachEventWhereItsDefinitionPutsIt) {
    const XhtmlIndex report(readText(output("06D13-49-55_PQreport.html")));
    const CsvFile events(output("06D13-49-55_PQevents.csv"));
    // The interruption is a dip to 2 % as well, as the three voltages fall below 90 % first.
    ASSERT_EQ(events.rows.size(), 2u + 5);
    // The list is the engine's, row by row.
    const std::string list = report.at("event-list").text;
    for (std::size_t line = 2; line < events.rows.size(); ++line) {
        const std::string start = events.rows[line][1];
        EXPECT_NE(list.find(start), std::string::npos) << start;
    }
    auto cellCount = [&](const std::string& id) { return std::stoi(report.at(id).text); };
    EXPECT_EQ(cellCount("dip-classes-1-0"), 1);    // 75 % for 100 ms: 80 > u >= 70, up to 200 ms
    EXPECT_EQ(cellCount("dip-classes-2-3"), 1);    // 50 % for 2 s: 70 > u >= 40, 1 s to 5 s
    EXPECT_EQ(cellCount("dip-classes-4-2"), 1);    // 2 % for 700 ms: 5 > u, 500 ms to 1 s
    EXPECT_EQ(cellCount("swell-classes-0-0"), 1);  // 125 % for 300 ms: u >= 120, up to 500 ms
    EXPECT_EQ(report.at("interruptions").number("data-short"), 1);
    int dips = 0, swells = 0;
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 6; ++c) dips += cellCount("dip-classes-" + std::to_string(r) + "-" + std::to_string(c));
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 4; ++c) swells += cellCount("swell-classes-" + std::to_string(r) + "-" + std::to_string(c));
    EXPECT_EQ(dips, 3);
    EXPECT_EQ(swells, 1);
    EXPECT_EQ(report.markers.at("dip"), 3);
    EXPECT_EQ(report.markers.at("swell"), 1);
    EXPECT_EQ(report.markers.at("interruption"), 1);
}

TEST_F(ReportTest, JudgesByAUsersOwnSetAndNamesIt) {
    const fs::path limits = output("tight.ini");
    std::ofstream(limits) << "# tighter than EN 50160\nname = Tight set\n\n[thd]\nmax_percent = 4\nshare_percent = 95\n"
                             "[harmonics]\nshare_percent = 95\nh5 = 4\nh7 = 5\n";
    const CliRun run = cli({"report", file(), "--nominal", "6600", "--limits", limits.string(), "--lang", "en", "-o",
                            output("tight.html").string()});
    ASSERT_EQ(run.status, 0) << run.err;
    const XhtmlIndex report(readText(output("tight.html")));
    ASSERT_EQ(report.error, "");
    EXPECT_EQ(report.language, "en");
    EXPECT_NE(report.at("summary").text.find("Tight set"), std::string::npos);
    EXPECT_EQ(report.at("verdict-thd-U12").attributes.at("data-outcome"), "fail");
    EXPECT_EQ(report.at("verdict-harmonics-U12").attributes.at("data-outcome"), "fail");
    EXPECT_EQ(report.at("verdict-harmonics-U12").number("data-order"), 5);
    EXPECT_EQ(report.byId.count("verdict-voltage-U12"), 0u);  // the set judges no voltage

    std::ofstream(limits) << "name = Broken\n[thd]\nmax_percent = eight\n";
    const CliRun broken = cli({"report", file(), "--limits", limits.string()});
    EXPECT_EQ(broken.status, 2);
    EXPECT_NE(broken.err.find(limits.string() + ":3: max_percent = \"eight\" is not a number"), std::string::npos)
        << broken.err;
}

TEST(ReportOfAFolder, MakesOneSurveyOfItsRecordingsInClockOrder) {
    TestFolder folder;
    folder.write("B.MEM", testing::surveyRecording({120, false, "10:05:00"}));
    folder.write("A.MEM", testing::surveyRecording({120, false, "10:10:00"}));
    const CliRun run = cli({"report", folder.path().string(), "--set", "Option1=1", "--lang", "en"});
    ASSERT_EQ(run.status, 0) << run.err;
    const fs::path output = folder.path() / (folder.path().filename().string() + "_PQreport.html");
    const XhtmlIndex report(readText(output));
    ASSERT_EQ(report.error, "");
    EXPECT_EQ(report.at("recording-1").text.find("B.MEM"), 0u);
    EXPECT_EQ(report.at("recording-2").text.find("A.MEM"), 0u);
    EXPECT_EQ(report.at("recording-1").number("data-udin"), 6600);  // chosen from the first 10 s
}

}  // namespace
}  // namespace pqwave
