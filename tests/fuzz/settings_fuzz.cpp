// Values read back from the settings file, which the user or another program
// may have edited: hotkeys, the last start's date, the day and login counters
// and the encrypted account entry's text. One value a line.
#include <memory>

#include "app/account_entry.h"
#include "app/day_rules.h"
#include "app/settings_store.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/native/fake_profile_store.h"
#include "tools/hotkey.h"
#include "tools/hotkey_store.h"

namespace {

class CFixedClock final : public IClock {
public:
    CivilDate Today() const override { return {2026, 12, 8}; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::unique_ptr<ICodePage> gbk = MakeGbkCodePage();
    const auto lines = fuzz::Split(fuzz::Bytes(data, size), '\n', 8);
    std::vector<std::wstring> values;
    for (std::string_view line : lines) values.push_back(fuzz::Wide(line));
    values.resize(8);

    const Hotkey key = ParseHotkey(values[0]);
    fuzz::Require(ParseHotkey(StoredHotkey(key)) == key, "a stored hotkey reads back as itself");
    FormatHotkey(key.vk, key.mod);

    if (const auto date = ParseStoredDate(values[1])) {
        const auto again = ParseStoredDate(FormatStoredDate(*date));
        fuzz::Require(again && again->year == date->year && again->month == date->month && again->day == date->day,
                      "a stored date reads back as itself");
        DayNumber(*date);
    }

    CFakeProfileStore store;
    const std::wstring section = L"doln";
    store.Set(section, std::wstring(settings::kLstTime.name), values[1]);
    store.Set(section, std::wstring(settings::kKeepdays.name), values[2]);
    store.Set(section, std::wstring(settings::kWeekdays.name), values[3]);
    store.Set(section, std::wstring(settings::kGame.name), values[4]);
    store.Set(section, std::wstring(settings::kLoginCount.name), values[4]);
    store.Set(section, std::wstring(settings::kShortKey.name), values[0]);
    store.Set(section, std::wstring(settings::kAltWndKey.name), values[5]);
    CSettings settings(store, section);
    ReadHotkey(settings, settings::kShortKey);
    ReadHotkey(settings, settings::kAltWndKey);

    CFixedClock clock;
    CLastDateCache cache;
    CDayRules rules(settings, clock, cache);
    const ActiveStats stats = rules.RunActiveStatistics();
    fuzz::Require(stats.weekdays >= 1 && stats.weekdays <= 7, "today and at most six earlier days");
    fuzz::Require(stats.apartdays >= 0, "days apart are never negative");
    fuzz::Require(settings.CountUp(settings::kLoginCount) >= 1, "a counter never wraps to 0");

    DecodeAccountText(values[6], *gbk, *gbk);
    SecondField(values[7]);
    return 0;
}
