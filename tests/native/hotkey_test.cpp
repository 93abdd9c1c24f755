#include <gtest/gtest.h>

#include <set>

#include "fake_profile_store.h"
#include "tools/hotkey.h"
#include "tools/hotkey_rules.h"
#include "tools/hotkey_store.h"

namespace {

class CFakeKeyState final : public IKeyState {
public:
    explicit CFakeKeyState(std::set<int> down) : m_down(std::move(down)) {}
    bool IsDown(int vk) const override { return m_down.count(vk) != 0; }

private:
    std::set<int> m_down;
};

constexpr int kCtrl = hotkey::kVkCtrl, kShift = hotkey::kVkShift, kAlt = hotkey::kVkAlt;

}  // namespace

TEST(Hotkey, StoredValuesParseByLeadingDigits) {
    struct Case {
        std::wstring stored;
        Hotkey expected;
    } const cases[] = {
        {L"0,121", {0, 121}},
        {L"6,65", {6, 65}},
        {L"0,0", {0, 0}},
        {L"2", {2, 0}},            // no comma: all of it is the mod
        {L"", {0, 0}},
        {L"abc", {0, 0}},
        {L"x,y", {0, 0}},
        {L"2,81junk", {2, 81}},
        {L" 4 , 9", {4, 9}},       // blanks before the digits are skipped
        {L",65", {0, 65}},
        {L"2,", {2, 0}},
        {L"1,2,3", {1, 2}},        // the first comma splits
        {L"99999999999999,5", {-1, 5}},  // a huge mod saturates outside the mask range, never wraps into it
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseHotkey(c.stored), c.expected) << std::string(c.stored.begin(), c.stored.end());
    }
    EXPECT_EQ(StoredHotkey({6, 65}), L"6,65");
}

TEST(Hotkey, ReadFromTheSettingsWithDefaultsAndA31CharacterBuffer) {
    CFakeProfileStore store;
    CSettings settings(store, L"Doln2");
    EXPECT_EQ(ReadHotkey(settings, settings::kShortKey), (Hotkey{0, 121}));
    EXPECT_EQ(ReadHotkey(settings, settings::kAltWndKey), (Hotkey{2, 9}));
    EXPECT_EQ(ReadHotkey(settings, settings::kSndKey), (Hotkey{2, 81}));
    // A value longer than the buffer loses its tail: here the key code's last digit.
    store.Set(L"Doln2", L"SndKey", std::wstring(27, L'0') + L"2,655");
    EXPECT_EQ(ReadHotkey(settings, settings::kSndKey), (Hotkey{2, 65}));

    store.Set(L"Doln2", L"ShortKey", L"2,66");
    store.Set(L"Doln2", L"AltWndKey", L"0,0");
    store.Set(L"Doln2", L"SndKey", L"garbage");
    LoadHotkeys(settings);
    EXPECT_EQ(CurrentHotkeys().boss, (Hotkey{2, 66}));
    EXPECT_EQ(CurrentHotkeys().windowSwitch, (Hotkey{0, 0}));
    EXPECT_EQ(CurrentHotkeys().sound, (Hotkey{0, 0}));
}

TEST(Hotkey, DisplayForms) {
    struct Case {
        int vk, mod;
        std::wstring expected;
    } const cases[] = {
        {0, 0, L"无"},
        {0, 7, L"无"},
        {121, 0, L"F10"},
        {9, 2, L"Ctrl  +  Tab"},
        {65, 6, L"Ctrl  +  Shift  +  A"},
        {81, 7, L"Ctrl  +  Shift  +  Alt  +  Q"},
        {48, 1, L"Alt  +  0"},
        {96, 0, L"Num 0"},
        {105, 0, L"Num 9"},
        {110, 0, L"Num Del"},
        {123, 0, L"F12"},
        {145, 0, L"Scroll Lock"},
        {220, 4, L"Shift  +  \\"},
        {222, 0, L"'"},
        {108, 2, L"Ctrl  +  "},  // a key without a name
        {1000, 0, L""},
        {-5, 0, L""},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatHotkey(c.vk, c.mod), c.expected) << c.vk << "," << c.mod;
}

TEST(Hotkey, ValidAndClearingKeysPerEdit) {
    using E = HotkeyEdit;
    struct Case {
        int vk;
        bool bossAndSound, windowSwitch;
    } const valid[] = {
        {9, false, true},     // Tab only for the window switch
        {111, true, true},   {112, true, true},   {122, true, true},  {123, false, false},  // F12 never
        {47, false, false},  {48, true, true},    {57, true, true},   {58, false, false},
        {64, false, false},  {65, true, true},    {90, true, true},   {91, false, false},
        {32, false, false},  {33, true, true},    {40, true, true},   {41, false, false},
        {45, true, true},    {46, false, false},  {20, true, true},   {19, false, false},
        {95, false, false},  {96, true, true},    {107, true, true},  {108, false, false},
        {109, true, true},   {144, true, true},   {145, false, false},
        {185, false, false}, {186, true, true},   {192, true, true},  {193, false, false},
        {218, false, false}, {219, true, true},   {222, true, true},  {223, false, false},
        {16, false, false},  {17, false, false},  {18, false, false}, {0, false, false},
        {-1, false, false},  {100000, false, false},
    };
    for (const auto& c : valid) {
        EXPECT_EQ(IsValidHotkeyKey(c.vk, E::Boss), c.bossAndSound) << c.vk;
        EXPECT_EQ(IsValidHotkeyKey(c.vk, E::Sound), c.bossAndSound) << c.vk;
        EXPECT_EQ(IsValidHotkeyKey(c.vk, E::WindowSwitch), c.windowSwitch) << c.vk;
    }
    const Case clearing[] = {
        {8, true, true}, {46, true, true}, {91, true, true}, {92, true, true},
        {123, true, false},  // F12 clears the boss and sound keys only
        {27, false, false}, {65, false, false},
    };
    for (const auto& c : clearing) {
        EXPECT_EQ(ClearsHotkey(c.vk, E::Boss), c.bossAndSound) << c.vk;
        EXPECT_EQ(ClearsHotkey(c.vk, E::Sound), c.bossAndSound) << c.vk;
        EXPECT_EQ(ClearsHotkey(c.vk, E::WindowSwitch), c.windowSwitch) << c.vk;
    }
}

TEST(HotkeyCapture, KeysOverTheKeyState) {
    using E = HotkeyEdit;
    struct Case {
        E edit;
        int vk;
        std::set<int> down;
        std::wstring text;
        std::optional<int> captured;
    } const cases[] = {
        {E::Boss, 'B', {kCtrl}, L"Ctrl  +  B", 'B'},
        {E::Boss, 'A', {kAlt, kShift, kCtrl}, L"Ctrl  +  Shift  +  Alt  +  A", 'A'},
        {E::Boss, kCtrl, {kCtrl}, L"Ctrl  +  ", std::nullopt},   // modifiers only
        {E::Boss, kAlt, {kAlt}, L"Alt  +  ", std::nullopt},
        {E::Boss, 121, {kAlt}, L"Alt  +  F10", 121},
        {E::Boss, 9, {kCtrl}, L"Ctrl  +  ", std::nullopt},        // Tab is not a boss key
        {E::WindowSwitch, 9, {kCtrl}, L"Ctrl  +  Tab", 9},
        {E::Sound, 123, {kCtrl}, L"无", std::nullopt},            // F12 clears, modifiers or not
        {E::WindowSwitch, 123, {}, L"", std::nullopt},            // ... but not here
        {E::Sound, 8, {}, L"无", std::nullopt},
        {E::WindowSwitch, 46, {kShift}, L"无", std::nullopt},
        {E::Sound, 92, {}, L"无", std::nullopt},
        {E::Sound, 'Q', {}, L"Q", 'Q'},
    };
    for (const auto& c : cases) {
        const KeyCapture got = CaptureKey(c.edit, c.vk, CFakeKeyState(c.down));
        EXPECT_EQ(got.text, c.text) << c.vk;
        EXPECT_EQ(got.captured, c.captured) << c.vk;
    }
    EXPECT_EQ(ModifierMask(CFakeKeyState({kCtrl, kShift, kAlt})), 7);
    EXPECT_EQ(ModifierMask(CFakeKeyState({kAlt})), 1);

    struct Examined {
        bool system;
        int vk;
        bool examined;
    } const examined[] = {{false, 'A', true}, {true, 121, true}, {true, 18, true}, {true, 'A', false}, {true, 115, false}};
    for (const auto& c : examined) EXPECT_EQ(IsExaminedKeyDown(c.system, c.vk), c.examined) << c.vk;
    EXPECT_TRUE(IsSwallowedKey(27));
    EXPECT_TRUE(IsSwallowedKey(13));
    EXPECT_FALSE(IsSwallowedKey(9));
}

TEST(HotkeySave, ConflictsAndValuesToStore) {
    EXPECT_TRUE(HotkeysConflict({L"无", L"Ctrl  +  Tab", L"无"}));  // two cleared keys conflict
    EXPECT_TRUE(HotkeysConflict({L"F10", L"F10", L"Ctrl  +  Q"}));
    EXPECT_TRUE(HotkeysConflict({L"F10", L"A", L"A"}));
    EXPECT_FALSE(HotkeysConflict({L"F10", L"Ctrl  +  Tab", L"Ctrl  +  Q"}));

    struct Case {
        std::wstring text;
        int captured;
        std::optional<std::wstring> stored;
    } const cases[] = {
        {L"Ctrl  +  B", 66, L"2,66"},
        {L"Ctrl  +  Shift  +  Alt  +  A", 65, L"7,65"},
        {L"F10", 121, L"0,121"},
        {L"无", 81, L"0,0"},            // cleared: no key, whatever was captured before
        {L"Ctrl  +  ", 66, std::nullopt},  // only a modifier: the stored value stays
        {L"", 66, std::nullopt},
        {L"Shift  +  Del", 46, L"4,46"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HotkeyValueToSave(c.text, c.captured), c.stored) << std::string(c.text.begin(), c.text.end());
    }
}

TEST(HotkeyHook, ActsOnKeyDownsWithAPageOpen) {
    Hotkeys keys;
    keys.boss = {0, 121};
    keys.sound = {2, 81};
    keys.windowSwitch = {0, 0};
    using A = HotkeyAction;
    struct Case {
        int pages;
        bool down;
        int vk, mod;
        A expected;
    } const cases[] = {
        {1, true, 121, 0, A::ToggleHide},
        {3, true, 81, 2, A::ToggleMute},
        {1, false, 121, 0, A::None},
        {1, true, 121, 2, A::None},  // the modifiers must match exactly
        {1, true, 81, 0, A::None},
        {1, true, 0, 0, A::None},    // a 0,0 key never fires
    };
    for (const auto& c : cases) EXPECT_EQ(HookAction(keys, c.pages, c.down, c.vk, c.mod), c.expected) << c.vk;
    keys.sound = keys.boss;
    EXPECT_EQ(HookAction(keys, 1, true, 121, 0), A::ToggleHide);
}
