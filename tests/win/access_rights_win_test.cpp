#include <windows.h>

#include <sddl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/access_rights_win.h"
#include "tests/win/test_files_win.h"
#include "tools/file_tree.h"

// Wine neither keeps nor enforces the rights of files, so what is checked
// here is the rights the client hands the system: a wrong entry in them
// would open the install folder to every user on Windows.

namespace {

struct Entry {
    std::wstring sid;
    DWORD mask;
    BYTE flags;
    bool operator==(const Entry&) const = default;
};

void PrintTo(const Entry& e, std::ostream* os) {
    *os << std::string(e.sid.begin(), e.sid.end()) << " mask " << std::hex << e.mask << " flags " << int(e.flags);
}

struct Rights {
    bool isProtected = false;
    std::vector<Entry> entries;  // allowing entries only; anything else shows as "?"
};

Rights ReadRights(PSECURITY_DESCRIPTOR descriptor) {
    Rights rights;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(descriptor, &control, &revision);
    rights.isProtected = (control & SE_DACL_PROTECTED) != 0;
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    if (!GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) || !present || dacl == nullptr) {
        return rights;
    }
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        wchar_t* sid = nullptr;
        if (!GetAce(dacl, i, reinterpret_cast<void**>(&ace)) || ace->Header.AceType != ACCESS_ALLOWED_ACE_TYPE ||
            !ConvertSidToStringSidW(&ace->SidStart, &sid)) {
            rights.entries.push_back({L"?", 0, 0});
            continue;
        }
        rights.entries.push_back({sid, ace->Mask, ace->Header.AceFlags});
        LocalFree(sid);
    }
    return rights;
}

Rights ReadRights(const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr)) return {};
    Rights rights = ReadRights(descriptor);
    LocalFree(descriptor);
    return rights;
}

std::wstring CurrentUserSid() {
    HANDLE token = nullptr;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    BYTE buffer[256];
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size);
    CloseHandle(token);
    wchar_t* sid = nullptr;
    ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &sid);
    const std::wstring text = sid != nullptr ? sid : L"";
    LocalFree(sid);
    return text;
}

constexpr DWORD kFullControl = FILE_ALL_ACCESS;
constexpr DWORD kReadAndExecute = FILE_GENERIC_READ | FILE_GENERIC_EXECUTE;
constexpr BYTE kInherited = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;

TEST(AccessRightsWinTest, EachPlaceGetsExactlyItsEntriesAndNothingFromAbove) {
    const struct {
        const char* what;
        Rights rights;
        std::vector<Entry> expected;
    } cases[] = {
        {"install folder: users may not create files",
         ReadRights(kInstallFolderRights),
         {{L"S-1-5-32-544", kFullControl, kInherited},
          {L"S-1-5-18", kFullControl, kInherited},
          {L"S-1-5-32-545", kReadAndExecute, kInherited}}},
        {"settings file: users may write it, not delete it or change its rights",
         ReadRights(kSharedFileRights),
         {{L"S-1-5-32-544", kFullControl, 0},
          {L"S-1-5-18", kFullControl, 0},
          {L"S-1-5-32-545", FILE_GENERIC_READ | FILE_GENERIC_WRITE, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(c.rights.isProtected);
        EXPECT_EQ(c.rights.entries, c.expected);
    }
    EXPECT_EQ(kReadAndExecute & (FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_WRITE_DATA), 0u);

    CCurrentUserOnly userOnly;
    ASSERT_NE(userOnly.Attributes(), nullptr);
    const Rights dump = ReadRights(userOnly.Attributes()->lpSecurityDescriptor);
    EXPECT_TRUE(dump.isProtected);
    EXPECT_EQ(dump.entries, (std::vector<Entry>{{CurrentUserSid(), kFullControl, 0}}));
}

TEST(AccessRightsWinTest, AFolderIsMadeOrTakenOverButNeverAFileInItsPlace) {
    const std::wstring base = TempFile(L"corvane_rights");
    DeleteTree(base);
    ASSERT_TRUE(CreateDirectoryW(base.c_str(), nullptr));
    const std::wstring fresh = base + L"\\fresh";
    const std::wstring existing = base + L"\\existing";
    const std::wstring file = base + L"\\file";
    ASSERT_TRUE(CreateDirectoryW(existing.c_str(), nullptr));
    CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));

    EXPECT_TRUE(CreateFolderWithRights(fresh, kInstallFolderRights));
    EXPECT_TRUE(CreateFolderWithRights(existing, kInstallFolderRights));
    EXPECT_FALSE(CreateFolderWithRights(file, kInstallFolderRights));
    EXPECT_FALSE(CreateFolderWithRights(base + L"\\no\\parent", kInstallFolderRights));

    const std::wstring shared = fresh + L"\\Statistic.ini";
    EXPECT_TRUE(CreateFileWithRights(shared, kSharedFileRights));
    ASSERT_TRUE(WritePrivateProfileStringW(L"s", L"k", L"v", shared.c_str()));
    // Made only when missing: what it holds stays.
    EXPECT_TRUE(CreateFileWithRights(shared, kSharedFileRights));
    wchar_t value[8] = {};
    GetPrivateProfileStringW(L"s", L"k", L"", value, 8, shared.c_str());
    EXPECT_STREQ(value, L"v");
    DeleteTree(base);
}

}  // namespace
