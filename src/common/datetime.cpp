#include "common/datetime.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace pqwave {
namespace {

constexpr long kSerialOfUnixEpoch = 25569;  // 1970-01-01 counted from 1899-12-30

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
long daysFromCivil(long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

void civilFromDays(long z, int& y, int& m, int& d) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(static_cast<long>(yoe) + era * 400 + (m <= 2));
}

int daysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

int expandTwoDigitYear(int year, std::size_t digitCount) {
    if (digitCount > 2) return year;
    return year < 30 ? 2000 + year : 1900 + year;
}

struct NumberGroup {
    long value;
    std::size_t digits;
};

// The runs of decimal digits of a text, up to `maxGroups`.
std::vector<NumberGroup> digitGroups(std::string_view text, std::size_t maxGroups) {
    std::vector<NumberGroup> groups;
    std::size_t i = 0;
    while (i < text.size() && groups.size() < maxGroups) {
        if (text[i] < '0' || text[i] > '9') {
            ++i;
            continue;
        }
        NumberGroup g{0, 0};
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && g.digits < 9) {
            g.value = g.value * 10 + (text[i] - '0');
            ++g.digits;
            ++i;
        }
        groups.push_back(g);
    }
    return groups;
}

bool validDate(int y, int m, int d) {
    return m >= 1 && m <= 12 && d >= 1 && d <= daysInMonth(y, m);
}

}  // namespace

double DateSerial(int year, int month, int day) {
    if (year >= 0 && year < 100) year = expandTwoDigitYear(year, 2);
    long monthIndex = static_cast<long>(year) * 12 + (month - 1);
    long y = monthIndex >= 0 ? monthIndex / 12 : -((-monthIndex + 11) / 12);
    unsigned m = static_cast<unsigned>(monthIndex - y * 12 + 1);
    return static_cast<double>(daysFromCivil(y, m, 1) + kSerialOfUnixEpoch + day - 1);
}

double TimeSerial(int hour, int minute, double second) {
    return (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
}

CivilDateTime toCivil(double dateTime) {
    // A negative value counts days backwards, but its fraction is still the time of day.
    double days = std::trunc(dateTime);
    double fraction = std::fabs(dateTime - days);
    long seconds = std::lround(fraction * 86400.0);
    long day = static_cast<long>(days);
    if (seconds >= 86400) {
        seconds -= 86400;
        day += dateTime < 0 ? -1 : 1;
    }
    CivilDateTime t;
    civilFromDays(day - kSerialOfUnixEpoch, t.year, t.month, t.day);
    t.hour = static_cast<int>(seconds / 3600);
    t.minute = static_cast<int>(seconds / 60 % 60);
    t.second = static_cast<int>(seconds % 60);
    return t;
}

bool isCalendarDateTime(double dateTime) {
    return dateTime >= DateSerial(100, 1, 1) && dateTime < DateSerial(10000, 1, 1);
}

int yearOf(double dateTime) {
    return toCivil(dateTime).year;
}

std::optional<double> DateValue(std::string_view text) {
    std::vector<NumberGroup> g = digitGroups(text, 3);
    int y = 0, m = 0, d = 0;
    if (g.size() == 3) {
        bool yearFirst = g[0].digits > 2 || g[0].value > 31 || g[2].digits <= 2;
        if (yearFirst) {
            y = expandTwoDigitYear(static_cast<int>(g[0].value), g[0].digits);
            m = static_cast<int>(g[1].value);
            d = static_cast<int>(g[2].value);
        } else {  // month/day/year with a four-digit year last
            m = static_cast<int>(g[0].value);
            d = static_cast<int>(g[1].value);
            y = static_cast<int>(g[2].value);
        }
    } else if (g.size() == 2 && g[0].digits > 2) {  // year and month
        y = static_cast<int>(g[0].value);
        m = static_cast<int>(g[1].value);
        d = 1;
    } else {
        return std::nullopt;
    }
    if (y < 100 || y > 9999 || !validDate(y, m, d)) return std::nullopt;
    return static_cast<double>(daysFromCivil(y, static_cast<unsigned>(m), static_cast<unsigned>(d)) +
                               kSerialOfUnixEpoch);
}

std::optional<double> TimeValue(std::string_view text) {
    std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    std::vector<NumberGroup> g = digitGroups(text, 4);
    if (g.size() < 2) return std::nullopt;
    long h = g[0].value, m = g[1].value, s = g.size() > 2 ? g[2].value : 0;
    if (h > 23 || m > 59 || s > 59) return std::nullopt;
    return TimeSerial(static_cast<int>(h), static_cast<int>(m), static_cast<double>(s));
}

std::string formatDate(const CivilDateTime& t) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d", t.year, t.month, t.day);
    return buffer;
}

std::string formatTime(const CivilDateTime& t) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d:%02d:%02d", t.hour, t.minute, t.second);
    return buffer;
}

std::string formatHhMmSs(double dateTime) {
    CivilDateTime t = toCivil(dateTime);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d-%02d-%02d", t.hour, t.minute, t.second);
    return buffer;
}

}  // namespace pqwave
