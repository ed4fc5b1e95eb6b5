#pragma once

#include <string>

namespace zelvanor::sample {

struct Ymd {
    int year;
    int month;
    int day;
};

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar, and back.
int dayNumber(int year, int month, int day);
Ymd dateOf(int dayNumber);

// 0 Sunday … 6 Saturday.
int weekdayOf(int dayNumber);

// "yymmdd", as the record files write dates.
std::string yymmdd(int dayNumber);

}  // namespace zelvanor::sample
