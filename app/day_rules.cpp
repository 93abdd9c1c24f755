#include "app/day_rules.h"

#include <bit>
#include <utility>

namespace {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

constexpr int kFirstYear = 1900;
constexpr int kLastYear = 9999;

}  // namespace

std::wstring FormatStoredDate(const CivilDate& date) {
    return FormatInt(date.year) + L"/" + FormatInt(date.month) + L"/" + FormatInt(date.day);
}

std::optional<CivilDate> ParseStoredDate(std::wstring_view text) {
    const size_t first = text.find(L'/');
    const size_t last = text.rfind(L'/');
    if (first == std::wstring_view::npos || first == last) return std::nullopt;
    const int64_t year = ParseLeadingInt(text.substr(0, first));
    const int64_t month = ParseLeadingInt(text.substr(first + 1));
    const int64_t day = ParseLeadingInt(text.substr(last + 1));
    if (year < kFirstYear || year > kLastYear || month < 1 || month > 12) return std::nullopt;
    if (day < 1 || day > DaysInMonth(static_cast<int>(year), static_cast<int>(month))) return std::nullopt;
    return CivilDate{static_cast<int>(year), static_cast<int>(month), static_cast<int>(day)};
}

int64_t DayNumber(const CivilDate& date) {
    // Howard Hinnant's days_from_civil.
    const int64_t y = date.year - (date.month <= 2 ? 1 : 0);
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t mp = (date.month + 9) % 12;
    const int64_t doy = (153 * mp + 2) / 5 + date.day - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

const std::wstring& CLastDateCache::Get(const CSettings& settings) {
    if (!m_text) m_text = settings.Read(settings::kLstTime);
    return *m_text;
}

int64_t CDayRules::DayDifference() {
    const CivilDate today = m_clock.Today();
    // Whole calendar days rather than elapsed seconds: a day that daylight
    // saving shortens to 23 hours still counts as one.
    const auto last = ParseStoredDate(m_cache.Get(m_settings));
    const int64_t d = last ? DayNumber(today) - DayNumber(*last) : 0;
    // Every computation of a run stores the same date; the settings file is
    // rewritten once, not each time.
    std::wstring date = FormatStoredDate(today);
    if (date != m_writtenDate) {
        m_settings.Write(settings::kLstTime, date);
        m_writtenDate = std::move(date);
    }
    return d;
}

int CDayRules::UpdateWeekdays() {
    const int stored = m_settings.ReadWeekdays();
    const int64_t d = DayDifference();
    // Bit k: started k days before today. Seven days or more, or a date in
    // the future, leave only today's bit.
    const int bitmap = d < 0 || d >= 7 ? 1 : ((stored << d) & 0x7E) | 1;
    m_settings.Write(settings::kWeekdays, FormatInt(bitmap));
    return std::popcount(static_cast<unsigned>(bitmap & 0x7F));
}

uint32_t CDayRules::UpdateKeepdays() {
    const int64_t stored = ParseLeadingInt(m_settings.Read(settings::kKeepdays));
    const uint32_t storedDays = stored < 0 ? 0 : static_cast<uint32_t>(stored);
    const int64_t d = DayDifference();
    uint32_t keepdays = 1;
    if (d == 0) keepdays = storedDays;
    if (d == 1) keepdays = storedDays == UINT32_MAX ? storedDays : storedDays + 1;
    m_settings.Write(settings::kKeepdays, FormatUnsigned(keepdays));
    return keepdays;
}

int CDayRules::Apartdays() {
    const int64_t d = DayDifference();
    if (d < 2) return 0;
    return d - 1 > INT32_MAX ? INT32_MAX : static_cast<int>(d - 1);
}

ActiveStats CDayRules::RunActiveStatistics() {
    ActiveStats stats;
    stats.weekdays = UpdateWeekdays();
    stats.keepdays = UpdateKeepdays();
    stats.apartdays = Apartdays();
    stats.count = m_settings.CountUp(settings::kGame);
    return stats;
}
