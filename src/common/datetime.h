// Date-time values as the recording's arithmetic uses them: a double counting days since
// 1899-12-30, the fraction being the time of day. Parsing accepts the forms instruments and
// the Japanese regional format write (year first; two-digit years 00-29 are 20xx, 30-99 19xx).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pqwave {

struct CivilDateTime {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0;
};

// Rounded to the nearest second.
CivilDateTime toCivil(double dateTime);

double DateSerial(int year, int month, int day);
double TimeSerial(int hour, int minute, double second);
int yearOf(double dateTime);

// The date (whole days) or time (fraction) a text names; nothing when it names none.
std::optional<double> DateValue(std::string_view text);
std::optional<double> TimeValue(std::string_view text);

// A date-time the regional form can show: years 100 to 9999, as dates are read.
bool isCalendarDateTime(double dateTime);

inline double secondsToDays(double seconds) {
    return seconds / 60 / 60 / 24;
}

std::string formatDate(const CivilDateTime& t);  // yyyy/MM/dd
std::string formatTime(const CivilDateTime& t);  // H:mm:ss
std::string formatHhMmSs(double dateTime);       // hh-mm-ss, for file names

}  // namespace pqwave
