#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

#include "base/code_page.h"
#include "app/desktop_icon_geometry.h"
#include "app/dump_path.h"
#include "app/icon_info.h"
#include "app/self_delete_batch.h"

namespace {

// ---- The portal's icon description ----

std::string Description(const std::string& time, const std::string& name, const std::string& url) {
    return "{\"time\":\"" + time + "\",\"iconName\":\"" + name + "\",\"iconUrl\":\"" + url + "\"}";
}

TEST(IconInfo, AddressCarriesGameAndChannel) {
    EXPECT_EQ(IconDescriptionPath(L"doln", L"123"), L"/webStatic/index.php?_c=client&_a=getIconInfo&game=doln&aid=123");
}

TEST(IconInfo, ParsesOnlyCompleteBoundedDescriptions) {
    const std::string good = Description("20161201", "\xE6\xA2\xA6\xE5\xB9\xBB", "http://h/i.ico");
    const std::string longUrl = "http://h/" + std::string(icon_info::kUrlMax - 9, 'u');
    std::string deep(5000, '[');
    deep += std::string(5000, ']');
    std::string padded = good;
    padded.insert(0, icon_info::kTextMax - good.size(), ' ');
    const struct {
        const char* what;
        std::string text;
        bool parses;
    } cases[] = {
        {"plain object", good, true},
        {"wrapped in a script call", "cb(" + good + ");\n", true},
        {"with other members", "{\"x\":[1,{\"y\":2}]," + good.substr(1), true},
        {"exactly at the size bound", padded, true},
        {"one byte over the size bound", " " + padded, false},
        {"no opening brace", good.substr(1), false},
        {"no closing brace", good.substr(0, good.size() - 1), false},
        {"closing brace before the opening one", "} {", false},
        {"empty", "", false},
        {"broken JSON", "{\"time\":\"1\",\"iconName\":}", false},
        {"an array in braces", "{[1,2]}", false},
        {"missing time", "{\"iconName\":\"a\",\"iconUrl\":\"http://h/i\"}", false},
        {"missing name", "{\"time\":\"1\",\"iconUrl\":\"http://h/i\"}", false},
        {"missing address", "{\"time\":\"1\",\"iconName\":\"a\"}", false},
        {"time not a string", "{\"time\":1,\"iconName\":\"a\",\"iconUrl\":\"http://h/i\"}", false},
        {"name not UTF-8", Description("1", "\xC3\x28", "http://h/i"), false},
        {"empty name", Description("1", "", "http://h/i"), false},
        {"empty address", Description("1", "a", ""), false},
        {"address at its bound", Description("1", "a", longUrl), true},
        {"address over its bound", Description("1", "a", longUrl + "x"), false},
        {"nesting beyond the parser's depth", "{\"a\":" + deep + "," + good.substr(1), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ParseIconInfo(c.text).has_value(), c.parses);
    }
}

TEST(IconInfo, MembersAreConvertedAndCutToTheirSettingBounds) {
    std::string longName;
    for (int i = 0; i < 40; ++i) longName += "\xE6\xA2\xA6";  // 梦
    const std::optional<IconInfo> info = ParseIconInfo(Description(std::string(70, '7'), longName, "http://h/i.ico"));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->time, std::wstring(icon_info::kTimeMax, L'7'));
    EXPECT_EQ(info->name, std::wstring(icon_info::kNameMax, L'梦'));
    EXPECT_EQ(info->url, L"http://h/i.ico");

    const std::optional<IconInfo> plain = ParseIconInfo(Description("", "\xE6\xA2\xA6\xE5\xB9\xBB", "http://h/i.ico"));
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->time, L"");
    EXPECT_EQ(plain->name, L"梦幻");
}

// ---- The self-delete batch ----

class SelfDeleteBatchTest : public testing::Test {
protected:
    std::optional<std::string> Batch(const std::wstring& program, int files, int attempts = self_delete::kAttempts) {
        return SelfDeleteBatch({program, L"C:\\Temp\\DelSelf1A.tmp.bat", L"C:\\Temp\\DelSelf1A.tmp"}, files, *m_gbk,
                               attempts);
    }
    std::unique_ptr<ICodePage> m_gbk = MakeGbkCodePage();
};

TEST_F(SelfDeleteBatchTest, RetriesTheProgramABoundedTimeThenCleansUpAfterItself) {
    const std::string loop =
        "cd\\\r\nset corvane_tries=0\r\n:delexe\r\n\"%SystemRoot%\\System32\\ping.exe\" -n 2 127.0.0.1 >nul\r\n"
        "del /F /A \"D:\\Games\\Doln2.exe\"\r\nif not exist \"D:\\Games\\Doln2.exe\" goto :gone\r\n"
        "set /a corvane_tries+=1\r\nif %corvane_tries% LSS 60 goto :delexe\r\ngoto :done\r\n:gone\r\n";
    const std::string self = ":done\r\ndel \"C:\\Temp\\DelSelf1A.tmp\"\r\ndel \"C:\\Temp\\DelSelf1A.tmp.bat\"\r\n";
    EXPECT_EQ(Batch(L"D:\\Games\\Doln2.exe", 5), loop + self);
    EXPECT_EQ(Batch(L"D:\\Games\\Doln2.exe", 1), loop + "rd \"D:\\Games\"\r\n" + self);
    EXPECT_EQ(Batch(L"D:\\Games\\Doln2.exe", 0), loop + "rd \"D:\\Games\"\r\n" + self);
    EXPECT_NE(Batch(L"D:\\Games\\Doln2.exe", 5, 3)->find("LSS 3 goto"), std::string::npos);
    // A drive or share root is never handed to "rd".
    EXPECT_EQ(Batch(L"D:\\Doln2.exe", 1)->find("rd "), std::string::npos);
    EXPECT_EQ(Batch(L"\\\\srv\\share\\Doln2.exe", 1)->find("rd "), std::string::npos);
    EXPECT_NE(Batch(L"\\\\srv\\share\\g\\Doln2.exe", 1)->find("rd \"\\\\srv\\share\\g\"\r\n"), std::string::npos);
}

TEST_F(SelfDeleteBatchTest, PathsAreWrittenInTheCodePageWithPercentSignsKept) {
    const std::optional<std::string> batch = Batch(L"C:\\游戏\\100%\\梦幻.exe", 3);
    ASSERT_TRUE(batch);
    EXPECT_NE(batch->find("del /F /A \"C:\\\xD3\xCE\xCF\xB7\\100%%\\\xC3\xCE\xBB\xC3.exe\"\r\n"), std::string::npos);
}

// cmd reads a batch in the OEM code page, which on a Western system is not
// the ANSI one: a path is written, and checked, in the code page given.
TEST_F(SelfDeleteBatchTest, APathMustHaveAnExactFormInTheGivenCodePage) {
    const std::unique_ptr<ICodePage> oem = MakeCodePage(437);
    const std::unique_ptr<ICodePage> ansi = MakeCodePage(1252);
    ASSERT_TRUE(oem && ansi);
    const struct {
        const char* what;
        std::wstring program;
        const ICodePage* codePage;
        const char* written;  // null: refused
    } cases[] = {
        {"e acute, OEM", L"C:\\Jeux\\caf\u00E9.exe", oem.get(), "caf\x82.exe"},
        {"e acute, ANSI", L"C:\\Jeux\\caf\u00E9.exe", ansi.get(), "caf\xE9.exe"},
        {"euro sign, OEM", L"C:\\Jeux\\\u20AC.exe", oem.get(), nullptr},
        {"euro sign, ANSI", L"C:\\Jeux\\\u20AC.exe", ansi.get(), "\x80.exe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<std::string> batch =
            SelfDeleteBatch({c.program, L"C:\\Temp\\D.bat", L""}, 3, *c.codePage);
        ASSERT_EQ(batch.has_value(), c.written != nullptr);
        if (batch) EXPECT_NE(batch->find(std::string("\\Jeux\\") + c.written + "\""), std::string::npos);
    }
}

TEST_F(SelfDeleteBatchTest, RefusesPathsThatCouldNameSomethingElse) {
    const struct {
        const char* what;
        std::wstring program;
        std::wstring batch;
        std::wstring reserved;
    } cases[] = {
        {"relative program", L"Games\\Doln2.exe", L"C:\\Temp\\D.bat", L""},
        {"drive-relative program", L"C:Doln2.exe", L"C:\\Temp\\D.bat", L""},
        {"quote in the program", L"C:\\a\"&del x\\D.exe", L"C:\\Temp\\D.bat", L""},
        {"wildcard", L"C:\\Games\\*.exe", L"C:\\Temp\\D.bat", L""},
        {"redirection", L"C:\\Games\\a>b.exe", L"C:\\Temp\\D.bat", L""},
        {"parent component", L"C:\\Games\\..\\Windows\\D.exe", L"C:\\Temp\\D.bat", L""},
        {"empty component", L"C:\\Games\\\\D.exe", L"C:\\Temp\\D.bat", L""},
        {"line break", L"C:\\Games\\a\r\nrd C:\\x.exe", L"C:\\Temp\\D.bat", L""},
        {"stream colon", L"C:\\Games\\D.exe:s", L"C:\\Temp\\D.bat", L""},
        {"unsafe batch path", L"C:\\Games\\D.exe", L"C:\\Temp\\*.bat", L""},
        {"unsafe reserved path", L"C:\\Games\\D.exe", L"C:\\Temp\\D.bat", L"C:\\Temp\\*"},
        {"no form in the code page", L"C:\\Games\\\U0001F600.exe", L"C:\\Temp\\D.bat", L""},
        {"too long for the batch", L"C:\\" + std::wstring(700, L'梦') + L".exe", L"C:\\Temp\\D.bat", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(SelfDeleteBatch({c.program, c.batch, c.reserved}, 1, *m_gbk).has_value());
    }
}

// ---- The desktop icon lookup's record and geometry ----

TEST(DesktopIcon, ItemRecordsMatchBothPointerWidths) {
    const auto r32 = desktop_icon::ItemTextRecord(false, 0x12345678u, 260);
    ASSERT_EQ(r32.size(), 60u);
    const uint8_t head32[] = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                              0x78, 0x56, 0x34, 0x12, 4, 1, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(r32.data(), head32, sizeof head32), 0);

    const auto r64 = desktop_icon::ItemTextRecord(true, 0x1122334455667788ull, 260);
    ASSERT_EQ(r64.size(), 88u);
    const uint8_t head64[] = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                              0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11, 4, 1, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(r64.data(), head64, sizeof head64), 0);
}

TEST(DesktopIcon, IconAreaLeavesOutTheWrappedLabel) {
    const struct {
        ui::PixelRect bounds;
        int textWidth, textHeight;
        int bottom;
    } cases[] = {
        {{10, 20, 85, 120}, 60, 14, 108},   // one line: 48 / 75 = 0
        {{10, 20, 85, 120}, 86, 14, 108},   // fills the item less its margin
        {{10, 20, 85, 120}, 87, 14, 94},    // two lines
        {{10, 20, 85, 120}, 250, 14, 66},   // four lines
        {{10, 20, 85, 120}, 5, 14, 108},    // narrower than the margin
        {{10, 20, 10, 120}, 300, 14, 108},  // no width: one line, no division by zero
    };
    for (const auto& c : cases) {
        const ui::PixelRect area = desktop_icon::IconAreaAboveLabel(c.bounds, c.textWidth, c.textHeight);
        EXPECT_EQ(area, (ui::PixelRect{c.bounds.left, c.bounds.top, c.bounds.right, c.bottom})) << c.textWidth;
    }
}

// ---- The crash dump's name ----

TEST(DumpPath, ReplacesTheProgramsOwnExtension) {
    const struct {
        std::wstring program, dump;
    } cases[] = {
        {L"C:\\Games\\Doln2.exe", L"C:\\Games\\Doln2.dmp"},
        {L"C:\\Games\\a.b.exe", L"C:\\Games\\a.b.dmp"},
        {L"C:\\Games\\Doln2.", L"C:\\Games\\Doln2.dmp"},
        {L"C:\\my.games\\Doln2", L""},  // not "C:\\my.dmp"
        {L"C:\\Games\\Doln2", L""},
        {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(DumpPathFor(c.program), c.dump) << testing::PrintToString(c.program);
}

}  // namespace
