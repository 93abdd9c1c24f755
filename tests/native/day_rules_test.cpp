#include <gtest/gtest.h>

#include "app/day_rules.h"
#include "tests/native/fake_profile_store.h"

namespace {

const std::wstring kSection = L"Doln2";

class CFakeClock final : public IClock {
public:
    explicit CFakeClock(CivilDate today) : m_today(today) {}
    CivilDate Today() const override { return m_today; }

private:
    CivilDate m_today;
};

struct DayCase {
    const char* name;
    const wchar_t* lstTime;   // nullptr: absent
    const wchar_t* keepdays;  // nullptr: absent
    const wchar_t* weekdays;  // nullptr: absent
    CivilDate today;
    int apartdays;
    uint32_t keepdaysOut;
    int weekdaysOut;               // reported bit count
    const wchar_t* bitmapWritten;  // stored "weekdays" afterwards
};

const DayCase kDayCases[] = {
    {"first start of all", nullptr, nullptr, nullptr, {2026, 12, 7}, 0, 1, 1, L"1"},
    {"second start the same day", L"2026/12/7", L"1", L"1", {2026, 12, 7}, 0, 1, 1, L"1"},
    {"consecutive days", L"2026/12/6", L"4", L"1", {2026, 12, 7}, 0, 5, 2, L"3"},
    {"over a new year", L"2026/12/31", L"2", L"1", {2027, 1, 1}, 0, 3, 2, L"3"},
    {"after three days", L"2026/12/4", L"5", L"1", {2026, 12, 7}, 2, 1, 2, L"9"},
    {"over a leap day", L"2024/2/28", L"5", L"1", {2024, 3, 1}, 1, 1, 2, L"5"},
    {"six days keeps the oldest bit", L"2026/12/1", L"5", L"1", {2026, 12, 7}, 5, 1, 2, L"65"},
    {"seven days drops every old bit", L"2026/11/30", L"5", L"127", {2026, 12, 7}, 6, 1, 1, L"1"},
    {"after ten days", L"2026/11/27", L"5", L"127", {2026, 12, 7}, 9, 1, 1, L"1"},
    {"bits shift out of the week", L"2026/12/5", L"1", L"96", {2026, 12, 7}, 1, 1, 1, L"1"},
    {"weekdays 200 is taken as 0", L"2026/12/6", L"1", L"200", {2026, 12, 7}, 0, 2, 1, L"1"},
    {"malformed: no date", L"garbage", L"3", L"5", {2026, 12, 7}, 0, 3, 2, L"5"},
    {"malformed: one slash", L"2026/12", L"3", L"5", {2026, 12, 7}, 0, 3, 2, L"5"},
    {"malformed: month 13", L"2026/13/1", L"3", L"5", {2026, 12, 7}, 0, 3, 2, L"5"},
    {"malformed: 30 February", L"2026/2/30", L"3", L"5", {2026, 12, 7}, 0, 3, 2, L"5"},
    {"malformed: day 0", L"2026/12/0", L"3", L"5", {2026, 12, 7}, 0, 3, 2, L"5"},
    {"malformed: before 1900", L"1899/12/31", L"3", L"5", {2026, 12, 7}, 0, 3, 2, L"5"},
    {"malformed: empty middle", L"2026//7", L"3", L"5", {2026, 12, 7}, 0, 3, 2, L"5"},
    {"clock set back a day", L"2026/12/8", L"6", L"127", {2026, 12, 7}, 0, 1, 1, L"1"},
    {"clock set back years", L"2030/1/1", L"6", L"3", {2026, 12, 7}, 0, 1, 1, L"1"},
    // System dates where second counts of 32 bits end and where two-digit
    // years turn over.
    {"system date 2038-01-20", L"2038/1/19", L"4", L"1", {2038, 1, 20}, 0, 5, 2, L"3"},
    {"system date 1999-12-31", L"1999/12/30", L"2", L"1", {1999, 12, 31}, 0, 3, 2, L"3"},
    {"from 1999-12-31 to 2038-01-20", L"1999/12/31", L"2", L"1", {2038, 1, 20}, 13899, 1, 1, L"1"},
    {"clock back from 2038 to 1999", L"2038/1/20", L"2", L"3", {1999, 12, 31}, 0, 1, 1, L"1"},
};

TEST(DayRules, ActiveStatisticsThroughEveryEdge) {
    for (const auto& c : kDayCases) {
        CFakeProfileStore store;
        if (c.lstTime) store.Set(kSection, L"lstTime", c.lstTime);
        if (c.keepdays) store.Set(kSection, L"keepdays", c.keepdays);
        if (c.weekdays) store.Set(kSection, L"weekdays", c.weekdays);
        store.Set(kSection, L"Game", L"9");
        CSettings settings(store, kSection);
        CFakeClock clock(c.today);
        CLastDateCache cache;
        const ActiveStats stats = CDayRules(settings, clock, cache).RunActiveStatistics();
        EXPECT_EQ(stats.apartdays, c.apartdays) << c.name;
        EXPECT_EQ(stats.keepdays, c.keepdaysOut) << c.name;
        EXPECT_EQ(stats.weekdays, c.weekdaysOut) << c.name;
        EXPECT_EQ(stats.count, 10u) << c.name;
        EXPECT_EQ(store.Get(kSection, L"weekdays"), c.bitmapWritten) << c.name;
        EXPECT_EQ(store.Get(kSection, L"keepdays"), std::to_wstring(c.keepdaysOut)) << c.name;
        EXPECT_EQ(store.Get(kSection, L"lstTime"), FormatStoredDate(c.today)) << c.name;
        EXPECT_EQ(store.Writes(L"lstTime"), 1) << c.name;
    }
}

TEST(DayRules, StoredDateFormatHasNoLeadingZeros) {
    EXPECT_EQ(FormatStoredDate({2016, 3, 7}), L"2016/3/7");
    EXPECT_EQ(FormatStoredDate({2026, 12, 31}), L"2026/12/31");
    const auto parsed = ParseStoredDate(L"2016/3/7");
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->year, 2016);
    EXPECT_EQ(parsed->month, 3);
    EXPECT_EQ(parsed->day, 7);
}

TEST(DayRules, LastDateIsReadOnceAndOutlivesItsRewrite) {
    CFakeProfileStore store;
    store.Set(kSection, L"lstTime", L"2026/12/4");
    CSettings settings(store, kSection);
    CFakeClock clock({2026, 12, 7});
    CLastDateCache cache;
    CDayRules rules(settings, clock, cache);
    EXPECT_EQ(rules.RunActiveStatistics().apartdays, 2);
    ASSERT_EQ(store.Get(kSection, L"lstTime"), L"2026/12/7");
    // Later statistics of the same start still compare with the earlier date.
    EXPECT_EQ(rules.DayDifference(), 3);
    EXPECT_EQ(rules.Apartdays(), 2);
    EXPECT_EQ(store.Reads(L"lstTime"), 1);

    // A new process (a new cache) sees today's date.
    CLastDateCache nextStart;
    EXPECT_EQ(CDayRules(settings, clock, nextStart).DayDifference(), 0);
}

TEST(DayRules, CalendarDayNumbers) {
    EXPECT_EQ(DayNumber({1970, 1, 1}), 0);
    EXPECT_EQ(DayNumber({2000, 3, 1}) - DayNumber({2000, 2, 28}), 2);
    EXPECT_EQ(DayNumber({1900, 3, 1}) - DayNumber({1900, 2, 28}), 1);
    EXPECT_EQ(DayNumber({2027, 1, 1}) - DayNumber({2026, 1, 1}), 365);
}

}  // namespace
