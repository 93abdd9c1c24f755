#pragma once

// Names for saved screenshots.

#include <string>

namespace shot {

// A local date and time as the clock gives it (month 1-12).
struct LocalTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// "截图" + YYYYMMDDhhmmss + ".bmp"; the stamp is left out when the time is
// not a valid one.
std::wstring DefaultShotFileName(const LocalTime& time);

// The name as chosen, with ".bmp" appended unless it already ends with that
// extension in any letter case.
std::wstring WithBmpExtension(const std::wstring& name);

}  // namespace shot
