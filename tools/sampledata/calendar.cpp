#include "calendar.hpp"

#include <cstdio>

namespace zelvanor::sample {

// The civil-calendar conversions count in eras of 400 years, which repeat exactly.
int dayNumber(int year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const int era = (year >= 0 ? year : year - 399) / 400;
    const int yearOfEra = year - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

Ymd dateOf(int dayNumber) {
    dayNumber += 719468;
    const int era = (dayNumber >= 0 ? dayNumber : dayNumber - 146096) / 146097;
    const int dayOfEra = dayNumber - era * 146097;
    const int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int mp = (5 * dayOfYear + 2) / 153;
    const int day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const int month = mp < 10 ? mp + 3 : mp - 9;
    return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

int weekdayOf(int dayNumber) {
    return dayNumber >= -4 ? (dayNumber + 4) % 7 : (dayNumber + 5) % 7 + 6;
}

std::string yymmdd(int dayNumber) {
    const Ymd d = dateOf(dayNumber);
    char text[8];
    std::snprintf(text, sizeof text, "%02d%02d%02d", d.year % 100, d.month, d.day);
    return text;
}

}  // namespace zelvanor::sample
