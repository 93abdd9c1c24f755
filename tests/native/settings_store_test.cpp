#include <gtest/gtest.h>

#include "app/settings_store.h"
#include "base/code_page.h"
#include "tests/native/fake_profile_store.h"

namespace {

const std::wstring kSection = L"Doln2";

TEST(SettingsStore, ParseLeadingIntReadsLikeWtoi) {
    const struct {
        const wchar_t* text;
        int64_t value;
    } cases[] = {
        {L"0", 0},           {L"17", 17},   {L"  42abc", 42},
        {L"-3", -3},         {L"+8", 8},    {L"abc", 0},
        {L"", 0},            {L"99999999999999999999", 4294967295LL},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseLeadingInt(c.text), c.value) << c.text;
}

TEST(SettingsStore, CountersStartAtOneAndCountUp) {
    CFakeProfileStore store;
    CSettings settings(store, kSection);
    for (const SettingKey* key : {&settings::kInst, &settings::kUnInst, &settings::kGame, &settings::kLoginCount}) {
        EXPECT_EQ(settings.CountUp(*key), 1u) << std::wstring(key->name);
        EXPECT_EQ(settings.CountUp(*key), 2u) << std::wstring(key->name);
        EXPECT_EQ(store.Get(kSection, std::wstring(key->name)), L"2");
    }
}

TEST(SettingsStore, CountersSurviveDamagedValues) {
    const struct {
        const wchar_t* stored;
        uint32_t next;
        const wchar_t* written;
    } cases[] = {
        {L"41", 42, L"42"},
        {L"-5", 1, L"1"},  // not 4294967292 installs
        {L"junk", 1, L"1"},
        {L"4294967294", 4294967295u, L"4294967295"},
        {L"4294967295", 4294967295u, L"4294967295"},  // stops, never wraps to 0
        {L"123456789012345", 4294967295u, L"4294967295"},
    };
    for (const auto& c : cases) {
        CFakeProfileStore store;
        store.Set(kSection, L"Game", c.stored);
        CSettings settings(store, kSection);
        EXPECT_EQ(settings.CountUp(settings::kGame), c.next) << c.stored;
        EXPECT_EQ(store.Get(kSection, L"Game"), c.written) << c.stored;
    }
}

TEST(SettingsStore, DefaultsAndBuffersOfTheKeyTable) {
    CFakeProfileStore store;
    CSettings settings(store, kSection);
    EXPECT_EQ(settings.Read(settings::kInstallTag), L"1");
    EXPECT_EQ(settings.Read(settings::kLstTime), L"0");
    EXPECT_EQ(settings.Read(settings::kKeepdays), L"1");
    EXPECT_EQ(settings.Read(settings::kIconName), L"");
    EXPECT_EQ(settings.Read(settings::kShortKey), L"0,121");
    EXPECT_EQ(settings.Read(settings::kAltWndKey), L"2,9");
    EXPECT_EQ(settings.Read(settings::kSndKey), L"2,81");
    EXPECT_EQ(settings.Read(settings::kRegUrl), L"0");
    EXPECT_EQ(settings.Read(settings::kKey), L"0");
    EXPECT_EQ(settings.ReadWeekdays(), 0);

    // A longer stored value reads back cut to its buffer.
    store.Set(kSection, L"iconName", std::wstring(40, L'n'));
    store.Set(kSection, L"lstTime", L"2016/3/7-and-more-text");
    EXPECT_EQ(settings.Read(settings::kIconName), std::wstring(31, L'n'));
    EXPECT_EQ(settings.Read(settings::kLstTime), L"2016/3/7-and-mo");
}

TEST(SettingsStore, InstallTagLooksAtTheFirstCharacterOnly) {
    const struct {
        const wchar_t* stored;
        bool set;
    } cases[] = {{L"1", true}, {L"10", true}, {L"0", false}, {L"", false}, {L" 1", false}, {L"01", false}};
    for (const auto& c : cases) {
        CFakeProfileStore store;
        store.Set(kSection, L"InstallTag", c.stored);
        EXPECT_EQ(CSettings(store, kSection).IsInstallTagSet(), c.set) << c.stored;
    }
    CFakeProfileStore empty;
    EXPECT_TRUE(CSettings(empty, kSection).IsInstallTagSet());
}

TEST(SettingsStore, WeekdaysAboveTheBitmapReadAsZero) {
    const struct {
        const wchar_t* stored;
        int value;
    } cases[] = {{L"127", 127}, {L"128", 128}, {L"129", 0}, {L"200", 0}, {L"-1", 0}, {L"x", 0}, {L"3", 3}};
    for (const auto& c : cases) {
        CFakeProfileStore store;
        store.Set(kSection, L"weekdays", c.stored);
        EXPECT_EQ(CSettings(store, kSection).ReadWeekdays(), c.value) << c.stored;
    }
}

TEST(SettingsStore, OnlyValuesThatReadBackIdenticallyMayBeStored) {
    const std::unique_ptr<ICodePage> gbk = MakeGbkCodePage();
    const struct {
        std::wstring value;
        bool stored;
    } cases[] = {
        {L"20261201", true},
        {L"", true},
        {L"梦幻大陆 二区", true},
        {L"\"a", true},
        {L"a'", true},
        {L"\"", true},
        {std::wstring(31, L'n'), true},
        {std::wstring(32, L'n'), false},  // read back cut
        {L"1\r\n[x]", false},             // a section of its own
        {L"1\nRegUrl=http://evil/", false},
        {L"a\tb", false},
        {L"a\x7F", false},
        {L"a\x85b", false},
        {L"a\x2028b", false},
        {L" 2026", false},
        {L"2026 ", false},
        {L"名字\x3000", false},
        {L"\xA0名字", false},
        {L"\xFEFFx", false},
        {L"\"2026\"", false},
        {L"'name'", false},
        {L"\x0E01", false},  // no GBK form: it would read back as "?"
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadsBackIdentically(settings::kIconName, c.value, *gbk), c.stored)
            << testing::PrintToString(c.value);
    }
    EXPECT_TRUE(ReadsBackIdentically(settings::kIconTime, std::wstring(63, L't'), *gbk));
}

TEST(SettingsStore, OtherSectionsAreNeverTouched) {
    CFakeProfileStore store;
    store.Set(L"Other", L"Game", L"7");
    CSettings settings(store, L"");
    EXPECT_EQ(settings.CountUp(settings::kGame), 1u);
    EXPECT_EQ(store.Get(L"Other", L"Game"), L"7");
    EXPECT_EQ(store.Get(L"", L"Game"), L"1");
}

}  // namespace
