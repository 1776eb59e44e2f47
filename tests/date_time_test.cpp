#include <gtest/gtest.h>

#include "common/datetime.h"

namespace pqwave {
namespace {

TEST(DateTime, SerialsCountDaysFrom1899December30) {
    EXPECT_EQ(DateSerial(1899, 12, 30), 0);
    EXPECT_EQ(DateSerial(1900, 1, 1), 2);
    EXPECT_EQ(DateSerial(2024, 1, 1), 45292);
    EXPECT_EQ(DateSerial(2024, 13, 1), DateSerial(2025, 1, 1));  // months roll over
    EXPECT_EQ(DateSerial(2024, 3, 0), DateSerial(2024, 2, 29));
    EXPECT_EQ(yearOf(DateSerial(2024, 12, 31) + 0.99), 2024);
}

TEST(DateTime, DatesAreReadYearFirstWithTwoDigitYearsAroundTheCentury) {
    EXPECT_EQ(DateValue("24-05-06"), DateSerial(2024, 5, 6));
    EXPECT_EQ(DateValue("2024/05/06"), DateSerial(2024, 5, 6));
    EXPECT_EQ(DateValue("29-01-01"), DateSerial(2029, 1, 1));
    EXPECT_EQ(DateValue("30-01-01"), DateSerial(1930, 1, 1));
    EXPECT_EQ(DateValue("2024年5月6日"), DateSerial(2024, 5, 6));
    EXPECT_EQ(DateValue("05/06/2024"), DateSerial(2024, 5, 6));
    EXPECT_FALSE(DateValue("24-13-06"));
    EXPECT_FALSE(DateValue("24-02-30"));
    EXPECT_FALSE(DateValue("garbage"));
}

TEST(DateTime, TimesNeedAColon) {
    EXPECT_DOUBLE_EQ(*TimeValue("13:45:30"), TimeSerial(13, 45, 30));
    EXPECT_DOUBLE_EQ(*TimeValue("9:05"), TimeSerial(9, 5, 0));
    EXPECT_FALSE(TimeValue("134530"));
    EXPECT_FALSE(TimeValue("25:00:00"));
    EXPECT_EQ(formatHhMmSs(*TimeValue("13:45:30")), "13-45-30");
    EXPECT_EQ(formatHhMmSs(*TimeValue("9:05:03")), "09-05-03");
}

}  // namespace
}  // namespace pqwave
