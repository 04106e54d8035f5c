#include "windowhost/core/receive_date.h"

#include <cstdio>

namespace windowhost {

namespace {

// Floor division: dates before 1970 count back from it.
int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0); }

// The proleptic Gregorian date of day `days` after 1970-01-01.
void CivilFromDays(int64_t days, int64_t& year, unsigned& month, unsigned& day) {
    days += 719468;
    const int64_t era = FloorDiv(days, 146097);
    const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shifted = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * shifted + 2) / 5 + 1;
    month = shifted < 10 ? shifted + 3 : shifted - 9;
    year = static_cast<int64_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);
}

}  // namespace

std::string ReceiveDateText(int64_t secondsSince1970, int64_t utcOffsetSeconds) {
    if (secondsSince1970 == 0) return "never";
    const int64_t local = secondsSince1970 + utcOffsetSeconds;
    const int64_t days = FloorDiv(local, 86400);
    const int64_t secondOfDay = local - days * 86400;
    int64_t year = 0;
    unsigned month = 0, day = 0;
    CivilFromDays(days, year, month, day);
    char text[40];
    std::snprintf(text, sizeof text, "%04lld-%02u-%02u %02u:%02u", static_cast<long long>(year), month, day,
                  static_cast<unsigned>(secondOfDay / 3600), static_cast<unsigned>(secondOfDay / 60 % 60));
    return text;
}

}  // namespace windowhost
