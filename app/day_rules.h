#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/settings_store.h"

struct CivilDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

// The seam to the local calendar, so the day rules run with a fake clock.
class IClock {
public:
    virtual ~IClock() = default;
    virtual CivilDate Today() const = 0;
};

// "%d/%d/%d": the seventh of March 2016 is 2016/3/7.
std::wstring FormatStoredDate(const CivilDate& date);

// A stored date as year/month/day (the text before the first "/", between
// it and the last "/", after the last one). Nothing when there are not two
// different "/" or the numbers are not a calendar date from 1900 on.
std::optional<CivilDate> ParseStoredDate(std::wstring_view text);

// Days since 1970-01-01 of the proleptic Gregorian calendar.
int64_t DayNumber(const CivilDate& date);

// The "lstTime" text read once per process, before anything rewrites it, so
// every statistic of one start compares today with the previous start.
class CLastDateCache {
public:
    const std::wstring& Get(const CSettings& settings);

private:
    std::optional<std::wstring> m_text;
};

// The values the "active" statistics report.
struct ActiveStats {
    uint32_t count = 0;
    int apartdays = 0;
    uint32_t keepdays = 0;
    int weekdays = 0;  // days started among the last seven, today included
};

// The day-difference rules. Each rule computes the difference d between today
// and the cached last date, writes today's date back and updates its key.
// A malformed last date counts as today (d = 0). A last date after today (a
// clock set back) restarts keepdays, reports apartdays 0 and keeps only
// today's weekday bit.
class CDayRules {
public:
    CDayRules(CSettings& settings, const IClock& clock, CLastDateCache& cache)
        : m_settings(settings), m_clock(clock), m_cache(cache) {}

    int64_t DayDifference();
    int UpdateWeekdays();
    uint32_t UpdateKeepdays();
    int Apartdays();

    // Weekdays, keepdays, apartdays and the "Game" counter, in that order.
    ActiveStats RunActiveStatistics();

private:
    CSettings& m_settings;
    const IClock& m_clock;
    CLastDateCache& m_cache;
    std::wstring m_writtenDate;  // what this run last wrote as the last date
};
