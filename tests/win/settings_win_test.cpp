#include <windows.h>

#include <gtest/gtest.h>

#include <shlobj.h>

#include <fstream>
#include <iterator>

#include "app/account_cipher_win.h"
#include "app/ctrl_block.h"
#include "app/device_identity_win.h"
#include "app/ini_rules.h"
#include "app/ini_win.h"
#include "app/settings_store_win.h"

// This program's control block names its own section (tests/win/app.cmake),
// so it never touches a real build's keys in the shared settings file.

namespace {

std::wstring SettingsFolder() { return CommonAppDataFolder() + L"\\7251\\GameLogin"; }

class SettingsWinTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(TheCtrlBlock().ShortName(), L"WinTestDoln");
        ASSERT_EQ(SHCreateDirectoryExW(nullptr, SettingsFolder().c_str(), nullptr) == ERROR_SUCCESS ||
                      GetFileAttributesW(SettingsFolder().c_str()) != INVALID_FILE_ATTRIBUTES,
                  true);
        // A fresh section for each test.
        WritePrivateProfileStringW(kSection, nullptr, nullptr, SettingsFilePath().c_str());
    }
    static constexpr const wchar_t* kSection = L"WinTestDoln";
};

TEST_F(SettingsWinTest, SettingsFileLiesInTheCommonApplicationDataFolder) {
    wchar_t folder[MAX_PATH];
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, folder)));
    EXPECT_EQ(SettingsFilePath(), std::wstring(folder) + L"\\7251\\GameLogin\\Statistic.ini");
    EXPECT_EQ(TheSettingsStore().Path(), SettingsFilePath());
    const std::wstring module = ModulePath();
    EXPECT_EQ(ProgramFolderSettingsPath(), module.substr(0, module.find_last_of(L'\\') + 1) + L"Statistic.ini");
}

TEST_F(SettingsWinTest, ProfileValuesRoundTrip) {
    CSettings settings = AppSettings();
    EXPECT_EQ(settings.Read(settings::kKeepdays), L"1");
    EXPECT_EQ(settings.CountUp(settings::kInst), 1u);
    EXPECT_EQ(settings.CountUp(settings::kInst), 2u);
    EXPECT_TRUE(settings.Write(settings::kLstTime, L"2016/3/7"));
    EXPECT_EQ(settings.Read(settings::kLstTime), L"2016/3/7");
    EXPECT_TRUE(settings.Write(settings::kIconName, L"梦幻大陆"));
    EXPECT_EQ(settings.Read(settings::kIconName), L"梦幻大陆");
    EXPECT_TRUE(settings.Write(settings::kWeekdays, L"200"));
    EXPECT_EQ(settings.ReadWeekdays(), 0);
    // Cut to the read buffer: 16 characters hold 15.
    EXPECT_TRUE(settings.Write(settings::kLstTime, L"2016/3/7-and-more-text"));
    EXPECT_EQ(settings.Read(settings::kLstTime), L"2016/3/7-and-mo");
    EXPECT_TRUE(settings.Write(settings::kRegUrl, std::wstring(3000, L'r')));
    EXPECT_EQ(settings.Read(settings::kRegUrl), std::wstring(2047, L'r'));

    // Another section of the same file is left alone.
    WritePrivateProfileStringW(L"OtherBuild", L"Inst", L"41", SettingsFilePath().c_str());
    EXPECT_EQ(CSettings(TheSettingsStore(), L"OtherBuild").CountUp(settings::kInst), 42u);
    EXPECT_EQ(settings.Read(settings::kInst), L"2");
    WritePrivateProfileStringW(L"OtherBuild", nullptr, nullptr, SettingsFilePath().c_str());
}

TEST_F(SettingsWinTest, AWriteIntoAMissingFolderFailsSilently) {
    CWinProfileStore store(CommonAppDataFolder() + L"\\7251\\NoSuchFolder\\Statistic.ini");
    CSettings settings(store, kSection);
    EXPECT_FALSE(settings.Write(settings::kInstallTag, L"0"));
    EXPECT_TRUE(settings.IsInstallTagSet());
    EXPECT_EQ(settings.CountUp(settings::kGame), 1u);
    EXPECT_EQ(settings.CountUp(settings::kGame), 1u);
}

TEST_F(SettingsWinTest, IniWritesBytesAsLetters) {
    const uint8_t bytes[] = {0x3C, 0xA1};
    CIni ini(SettingsFilePath(), kSection);
    EXPECT_EQ(ini.Path(), SettingsFilePath());
    ASSERT_TRUE(ini.WriteBinary(bytes, nullptr, L"Bin"));
    EXPECT_EQ(TheSettingsStore().Read(kSection, L"Bin", L"", 64), L"MDBK");

    const std::wstring other = L"OtherBuild";
    ASSERT_TRUE(ini.WriteBinary(bytes, &other, L"Bin2"));
    EXPECT_EQ(ini.Section(), other);
    EXPECT_EQ(TheSettingsStore().Read(other, L"Bin2", L"", 64), L"MDBK");
    WritePrivateProfileStringW(L"OtherBuild", nullptr, nullptr, SettingsFilePath().c_str());

    // An empty path is the program's own, with ".ini"; an empty section its name.
    CIni own(L"", L"");
    const std::wstring module = ModulePath();
    EXPECT_EQ(own.Path(), module.substr(0, module.rfind(L'.')) + L".ini");
    EXPECT_EQ(own.Section(), L"win_settings_test");
    CIni relative(L"sub\\x.ini", L"s");
    EXPECT_EQ(relative.Path(), module.substr(0, module.find_last_of(L'\\') + 1) + L"sub\\x.ini");

    CIni nowhere(CommonAppDataFolder() + L"\\7251\\NoSuchFolder\\Statistic.ini", kSection);
    EXPECT_FALSE(nowhere.WriteBinary(bytes, nullptr, L"Bin")) << "a failed write is no success";
}

// Known answers from OpenSSL for the program's key and IV:
//   K=c54b04a751230ee583afe97178768c4f IV=725147616d654c6f67696e2d332e3031
//   printf 'A\0b\0' | openssl enc -aes-128-cbc -K $K -iv $IV | xxd -p
//   printf '0123456789abcdef' | openssl enc -aes-128-cbc -K $K -iv $IV | xxd -p
//   printf '' | openssl enc -aes-128-cbc -K $K -iv $IV | xxd -p
TEST_F(SettingsWinTest, AccountCipherMatchesAnIndependentKnownAnswer) {
    auto hex = [](const std::vector<uint8_t>& bytes) {
        std::string text;
        char digits[3];
        for (uint8_t b : bytes) {
            snprintf(digits, sizeof digits, "%02x", b);
            text += digits;
        }
        return text;
    };
    const auto shortText = EncryptAccountBytes({'A', 0, 'b', 0});
    ASSERT_TRUE(shortText.has_value());
    EXPECT_EQ(hex(*shortText), "2ee2ef5eddd3d85397aab085e558d8dc");
    const std::string block = "0123456789abcdef";
    const auto fullBlock = EncryptAccountBytes(std::vector<uint8_t>(block.begin(), block.end()));
    ASSERT_TRUE(fullBlock.has_value());
    EXPECT_EQ(hex(*fullBlock), "ae682fedab575c2c9f9e786ce1e029876d66aad931f1b5c2da844a54ec187f5f");
    const auto empty = EncryptAccountBytes({});
    ASSERT_TRUE(empty.has_value());
    EXPECT_EQ(hex(*empty), "c93f608522f560a31ad8773cedf4d061");
}

TEST_F(SettingsWinTest, AccountEntryThatCannotBeWrittenIsAFailure) {
    // A folder where the settings file should be: no write can succeed, even
    // for an administrator.
    const std::wstring path = SettingsFilePath();
    const std::wstring aside = path + L".aside";
    WritePrivateProfileStringW(kSection, L"Before", L"1", path.c_str());
    ASSERT_TRUE(MoveFileExW(path.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING));
    ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
    EXPECT_FALSE(WriteAccountEntry(L"9%7CAb%7Cz"));
    RemoveDirectoryW(path.c_str());
    ASSERT_TRUE(MoveFileExW(aside.c_str(), path.c_str(), 0));
}

TEST_F(SettingsWinTest, AccountEntryIsWrittenUnderASafeKey) {
    // The account text as the login page passes it; its second field is "Ab".
    const std::wstring account = L"9%7CAb%7Cz";
    ASSERT_TRUE(WriteAccountEntry(account));
    // The key: the cipher of "Ab" read as UTF-16 text, or its letters when
    // that text could not stand in the file.
    const std::vector<uint8_t> keyCipher = {0x2e, 0xe2, 0xef, 0x5e, 0xdd, 0xd3, 0xd8, 0x53,
                                            0x97, 0xaa, 0xb0, 0x85, 0xe5, 0x58, 0xd8, 0xdc};
    const auto value = EncryptAccountBytes({'9', 0, '%', 0, '7', 0, 'C', 0, 'A', 0, 'b', 0, '%', 0, '7', 0, 'C', 0, 'z', 0});
    ASSERT_TRUE(value.has_value());
    // Read every key of the section back.
    wchar_t keys[4096] = {};
    GetPrivateProfileStringW(kSection, nullptr, L"", keys, 4096, SettingsFilePath().c_str());
    const std::wstring key = keys;
    ASSERT_FALSE(key.empty());
    EXPECT_EQ(keys[key.size() + 1], L'\0') << "exactly one key";
    const std::wstring letters = LetterEncode(keyCipher);
    // 0xD8 0x53 pairs as U+53D8 ... 0xDCD8 is a lone surrogate: the key text
    // cannot stand in the file, so the letters are used.
    EXPECT_EQ(key, letters);
    EXPECT_EQ(TheSettingsStore().Read(kSection, key, L"", 4096), LetterEncode(*value));
}

TEST(DeviceIdentityWin, ReadsWhatTheMachineOffers) {
    const std::wstring cpu = ReadCpuSignature();
    EXPECT_TRUE(cpu.size() == 16 || cpu.size() == 32) << cpu.size();
    const DeviceIdentity device = ReadDeviceIdentity();
    EXPECT_EQ(device.vid.size(), 32u);
    EXPECT_FALSE(device.did.empty());
    EXPECT_TRUE(device.mac.empty() || device.mac.size() == 17u);
}

}  // namespace
