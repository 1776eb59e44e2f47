// The limit sets a report judges by: EN 50160's medium-voltage values as its public
// descriptions give them, a user's file read key by key, and every mistake in a file refused
// with its line.
#include <gtest/gtest.h>

#include <cmath>

#include "common/error.h"
#include "report/limit_set.h"

namespace pqwave {
namespace {

std::string problemOf(const std::string& text) {
    try {
        parseLimitSet(text, "site.ini");
    } catch (const Error& error) {
        EXPECT_EQ(error.kind(), ErrorKind::Malformed);
        return error.what();
    }
    return "accepted";
}

TEST(LimitSets, En50160HoldsTheMediumVoltageFigures) {
    const LimitSet set = en50160MediumVoltage();
    EXPECT_EQ(set.periodDays, 7);
    ASSERT_TRUE(set.voltage && set.frequency && set.unbalance && set.thd && set.plt && set.harmonics);
    EXPECT_EQ(set.voltage->bandPercent, 10);
    EXPECT_EQ(set.voltage->sharePercent, 95);
    EXPECT_EQ(set.frequency->bandPercent, 1);
    EXPECT_EQ(set.frequency->sharePercent, 99.5);
    EXPECT_EQ(set.unbalance->maximum, 2);
    EXPECT_EQ(set.thd->maximum, 8);
    EXPECT_EQ(set.plt->maximum, 1);
    // Odd orders not multiples of 3, odd multiples of 3, even orders; nothing above the 25th.
    const std::pair<int, double> orders[] = {{5, 6},    {7, 5},    {11, 3.5}, {13, 3},  {17, 2},   {19, 1.5},
                                             {23, 1.5}, {25, 1.5}, {3, 5},    {9, 1.5}, {15, 0.5}, {21, 0.5},
                                             {2, 2},    {4, 1},    {6, 0.5},  {24, 0.5}};
    for (const auto& [order, percent] : orders) EXPECT_EQ(set.harmonics->percent[order], percent) << order;
    for (int order = 26; order <= 50; ++order) EXPECT_TRUE(std::isnan(set.harmonics->percent[order])) << order;
}

TEST(LimitSets, AUsersFileJudgesWhatItNames) {
    const LimitSet set = parseLimitSet(
        "\xEF\xBB\xBF# utility X\r\nname = Utility X, 6.6 kV\r\nperiod_days = 1\r\n\r\n; voltage only\r\n"
        "[voltage]\r\nband_percent = 6\r\nshare_percent = 100\r\n[harmonics]\r\nshare_percent = 95\r\nh5 = 4\r\n",
        "x.ini");
    EXPECT_EQ(set.name, "Utility X, 6.6 kV");
    EXPECT_EQ(set.origin, "x.ini");
    EXPECT_EQ(set.periodDays, 1);
    ASSERT_TRUE(set.voltage);
    EXPECT_EQ(set.voltage->bandPercent, 6);
    EXPECT_EQ(set.voltage->sharePercent, 100);
    EXPECT_FALSE(set.frequency || set.unbalance || set.thd || set.plt);
    EXPECT_EQ(set.harmonics->percent[5], 4);
    EXPECT_TRUE(std::isnan(set.harmonics->percent[7]));
}

TEST(LimitSets, RefuseEveryMistakeWithItsLine) {
    EXPECT_EQ(problemOf("name = a\n[voltage]\nband = 10\n"),
              "site.ini:3: no key \"band\" in [voltage]; the keys are band_percent, share_percent");
    EXPECT_EQ(problemOf("name = a\n[volts]\n"),
              "site.ini:2: no section [volts]; the sections are [voltage], "
              "[frequency], [unbalance], [thd], [plt] and [harmonics]");
    EXPECT_EQ(problemOf("name = a\n[thd]\nmax_percent = 8\nmax_percent = 5\n"),
              "site.ini:4: max_percent is given twice in [thd]");
    EXPECT_EQ(problemOf("name = a\n[thd]\nmax_percent = 8 %\nshare_percent = 95\n"),
              "site.ini:3: max_percent = \"8 %\" is not a number");
    EXPECT_EQ(problemOf("name = a\n\n[plt]\nmax = 1\n"), "site.ini:3: [plt] needs share_percent");
    EXPECT_EQ(problemOf("name = a\n[unbalance]\nmax_percent = 2\nshare_percent = 120\n"),
              "site.ini:4: share_percent = 120 is out of range (above 0 to 100)");
    EXPECT_EQ(problemOf("name = a\n[harmonics]\nshare_percent = 95\nh51 = 1\n"),
              "site.ini:4: no key \"h51\" in [harmonics]; the keys are share_percent, h2 ... h50");
    EXPECT_EQ(problemOf("[thd]\nmax_percent = 8\nshare_percent = 95\n"),
              "site.ini: name = ... is needed: the report names the set it judges by");
    EXPECT_EQ(problemOf("name = a\nthis is not a key\n"),
              "site.ini:2: expected KEY = VALUE, not \"this is not a key\"");
    EXPECT_EQ(problemOf("name = a\n[thd\n"), "site.ini:2: a section line is [NAME], not \"[thd\"");
}

}  // namespace
}  // namespace pqwave
