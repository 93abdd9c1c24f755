#include <windows.h>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "tests/win/test_files_win.h"
#include "tools/file_tree.h"
#include "tools/shell_folder_win.h"
#include "tools/shortcuts_win.h"

using Microsoft::WRL::ComPtr;

namespace {

struct LinkFields {
    std::wstring path, arguments, icon, workingFolder, description;
    int iconIndex = -1;
};

LinkFields ReadLink(const std::wstring& file) {
    LinkFields out;
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> persist;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) ||
        FAILED(link.As(&persist)) || FAILED(persist->Load(file.c_str(), STGM_READ)))
        return out;
    wchar_t text[1024];
    if (SUCCEEDED(link->GetPath(text, 1024, nullptr, SLGP_RAWPATH))) out.path = text;
    if (SUCCEEDED(link->GetArguments(text, 1024))) out.arguments = text;
    if (SUCCEEDED(link->GetIconLocation(text, 1024, &out.iconIndex))) out.icon = text;
    if (SUCCEEDED(link->GetWorkingDirectory(text, 1024))) out.workingFolder = text;
    if (SUCCEEDED(link->GetDescription(text, 1024))) out.description = text;
    return out;
}

class ShortcutsWin : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        m_folder = std::wstring(base) + L"corvane-shortcut-target";
        DeleteTree(m_folder);
        ASSERT_TRUE(CreateDirectoryW(m_folder.c_str(), nullptr));
        // No association: a shell verb run on a link to it starts nothing.
        m_target = m_folder + L"\\游戏.dat";
        std::ofstream(m_target.c_str()) << "x";
        m_icon = m_folder + L"\\game.ico";
    }
    void TearDown() override {
        DeleteTree(m_folder);
        CoUninitialize();
    }

    std::wstring m_folder, m_target, m_icon;
};

// Points the user's desktop at a folder of the test's for its lifetime: in the
// test prefix it is the host's home folder, and a redirected desktop is also
// the case where a path guessed from the documents folder goes wrong.
class RedirectedDesktop {
public:
    explicit RedirectedDesktop(const std::wstring& folder) : m_folder(folder) {
        m_made = CreateDirectoryW(folder.c_str(), nullptr) != FALSE;
        RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &m_key);
        DWORD size = sizeof(m_old);
        m_hadOld = RegQueryValueExW(m_key, L"Desktop", nullptr, &m_oldType, reinterpret_cast<BYTE*>(m_old), &size) ==
                   ERROR_SUCCESS;
        m_oldSize = size;
        RegSetValueExW(m_key, L"Desktop", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                       static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
    }
    ~RedirectedDesktop() {
        if (m_hadOld)
            RegSetValueExW(m_key, L"Desktop", 0, m_oldType, reinterpret_cast<const BYTE*>(m_old), m_oldSize);
        else
            RegDeleteValueW(m_key, L"Desktop");
        RegCloseKey(m_key);
    }

    bool Made() const { return m_made; }
    const std::wstring& Folder() const { return m_folder; }

private:
    std::wstring m_folder;
    bool m_made = false;
    static constexpr wchar_t kKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    HKEY m_key = nullptr;
    wchar_t m_old[MAX_PATH] = {};
    DWORD m_oldType = REG_SZ, m_oldSize = 0;
    bool m_hadOld = false;
};

TEST_F(ShortcutsWin, DesktopShortcutReplacesTheUsersOwnAndPointsAtTheTarget) {
    const std::wstring name = L"梦幻大陆测试";
    RedirectedDesktop redirect(m_folder + L"\\desktop");
    ASSERT_TRUE(redirect.Made());
    const std::wstring common = DesktopShortcutPath(name);
    const std::wstring user = UserDesktopShortcutPath(name);
    ASSERT_FALSE(common.empty());
    ASSERT_FALSE(user.empty());
    ASSERT_EQ(user, redirect.Folder() + L"\\" + name + L".lnk");
    // The user's own copy of our link goes once the all-users one stands.
    ASSERT_TRUE(CreateLink(m_target, L"", user, L"", L""));

    ASSERT_TRUE(CreateDesktopShortcut(m_icon, name, m_target, L"/web7251D -x"));
    EXPECT_FALSE(Exists(user));
    const LinkFields link = ReadLink(common);
    EXPECT_EQ(link.path, m_target);
    EXPECT_EQ(link.arguments, L"/web7251D -x");
    EXPECT_EQ(link.icon, m_icon);
    EXPECT_EQ(link.iconIndex, 0);
    EXPECT_EQ(link.workingFolder, m_folder);
    EXPECT_EQ(link.description, L"portal.example.com中国最大的网页游戏平台");

    EXPECT_TRUE(DeleteDesktopShortcut(name, m_target));
    EXPECT_FALSE(Exists(common));
    EXPECT_FALSE(DeleteDesktopShortcut(name, m_target)) << "already gone";
}

TEST_F(ShortcutsWin, StartMenuShortcutWithoutIconShowsTheTargetsOwn) {
    const std::wstring name = L"Doln";
    const std::wstring path = StartMenuShortcutPath(name);
    std::wstring folder;
    ASSERT_TRUE(SplitPath(path, &folder, nullptr));
    EXPECT_EQ(folder, ShellFolderPath(CSIDL_COMMON_PROGRAMS) + L"\\7251登录器");
    DeleteTree(folder);

    ASSERT_TRUE(CreateStartMenuShortcut(L"", m_target, name, L""));
    const LinkFields link = ReadLink(path);
    EXPECT_EQ(link.path, m_target);
    EXPECT_EQ(link.icon, m_target);
    EXPECT_EQ(link.arguments, L"");
    EXPECT_EQ(link.description, L"");

    EXPECT_TRUE(DeleteStartMenuShortcut(name, m_target));
    EXPECT_FALSE(DeleteStartMenuShortcut(name, m_target));
    EXPECT_TRUE(Exists(folder)) << "the folder stays";
    RemoveDirectoryW(folder.c_str());
}

TEST_F(ShortcutsWin, QuickLaunchShortcutIsMadeAndRemoved) {
    const std::wstring name = L"Doln";
    const std::wstring path = QuickLaunchPath(name);
    EXPECT_EQ(path, ShellFolderPath(CSIDL_APPDATA) + L"\\Microsoft\\Internet Explorer\\Quick Launch\\Doln.lnk");
    std::wstring folder;
    SplitPath(path, &folder, nullptr);
    SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);

    ASSERT_TRUE(CreateQuickLaunch(name, m_target, m_icon, L"-q"));
    const LinkFields link = ReadLink(path);
    EXPECT_EQ(link.path, m_target);
    EXPECT_EQ(link.arguments, L"-q");
    EXPECT_EQ(link.icon, m_icon);

    EXPECT_TRUE(RemoveQuickLaunch(name, m_target));
    EXPECT_FALSE(Exists(path));
    EXPECT_FALSE(RemoveQuickLaunch(name, m_target));
}

TEST_F(ShortcutsWin, OnlyLinksToThisProgramAreReplacedOrDeleted) {
    const std::wstring name = L"Google Chrome";
    const std::wstring other = m_folder + L"\\chrome.exe";
    std::ofstream(other.c_str()) << "x";
    const std::wstring startFolder = ShellFolderPath(CSIDL_COMMON_PROGRAMS) + L"\\7251登录器";
    SHCreateDirectoryExW(nullptr, startFolder.c_str(), nullptr);
    SHCreateDirectoryExW(nullptr, (ShellFolderPath(CSIDL_APPDATA) + L"\\Microsoft\\Internet Explorer\\Quick Launch").c_str(),
                         nullptr);
    const struct {
        const char* place;
        std::wstring path;
        std::function<BOOL()> make, remove;
    } places[] = {
        {"desktop", DesktopShortcutPath(name), [&] { return CreateDesktopShortcut(L"", name, m_target, L"/new"); },
         [&] { return DeleteDesktopShortcut(name, m_target); }},
        {"start menu", StartMenuShortcutPath(name), [&] { return CreateStartMenuShortcut(L"/new", m_target, name, L""); },
         [&] { return DeleteStartMenuShortcut(name, m_target); }},
        {"quick launch", QuickLaunchPath(name), [&] { return CreateQuickLaunch(name, m_target, L"", L"/new"); },
         [&] { return RemoveQuickLaunch(name, m_target); }},
    };
    enum class Before { Free, Ours, Others, NotALink };
    const struct {
        Before before;
        bool ours;  // made and removed, rather than left as it was
    } cases[] = {{Before::Free, true}, {Before::Ours, true}, {Before::Others, false}, {Before::NotALink, false}};
    for (const auto& place : places) {
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << place.place << ", case " << static_cast<int>(c.before));
            DeleteFileW(place.path.c_str());
            if (c.before == Before::Ours) ASSERT_TRUE(CreateLink(m_target, L"", place.path, L"/old", L""));
            if (c.before == Before::Others) ASSERT_TRUE(CreateLink(other, L"", place.path, L"--profile", L""));
            if (c.before == Before::NotALink) std::ofstream(place.path.c_str()) << "a file of the user's";
            const std::string before = ReadAll(place.path);

            EXPECT_EQ(place.make() != FALSE, c.ours);
            if (c.ours) {
                EXPECT_EQ(ReadLink(place.path).arguments, L"/new");
            } else {
                EXPECT_EQ(ReadAll(place.path), before);
            }
            EXPECT_EQ(place.remove() != FALSE, c.ours);
            EXPECT_EQ(Exists(place.path), !c.ours);
            DeleteFileW(place.path.c_str());
        }
    }
    RemoveDirectoryW(startFolder.c_str());
}

TEST_F(ShortcutsWin, TheUsersDesktopCopyGoesOnlyWhenTheAllUsersOneIsWrittenAndIsOurs) {
    const std::wstring name = L"梦幻大陆测试";
    RedirectedDesktop redirect(m_folder + L"\\desktop");
    ASSERT_TRUE(redirect.Made());
    const std::wstring common = DesktopShortcutPath(name);
    const std::wstring user = UserDesktopShortcutPath(name);
    const std::wstring other = m_folder + L"\\other.exe";
    std::ofstream(other.c_str()) << "x";

    // The all-users place is someone else's: nothing is written, the
    // user's link to us stays.
    ASSERT_TRUE(CreateLink(other, L"", common, L"", L""));
    ASSERT_TRUE(CreateLink(m_target, L"", user, L"", L""));
    EXPECT_FALSE(CreateDesktopShortcut(L"", name, m_target, L""));
    EXPECT_TRUE(Exists(user));
    EXPECT_EQ(ReadLink(common).path, other);

    // The user's same-named link to another program stays beside ours.
    ASSERT_TRUE(DeleteFileW(common.c_str()));
    ASSERT_TRUE(CreateLink(other, L"", user, L"", L""));
    EXPECT_TRUE(CreateDesktopShortcut(L"", name, m_target, L""));
    EXPECT_EQ(ReadLink(user).path, other);
    EXPECT_EQ(ReadLink(common).path, m_target);
    DeleteFileW(common.c_str());
}

TEST_F(ShortcutsWin, RefusalsChangeNothing) {
    const std::wstring missing = m_folder + L"\\missing.exe";
    // A name naming a path would write beside, not in, the shell folder.
    const std::wstring escaping = L"..\\逃逸";
    EXPECT_FALSE(CreateDesktopShortcut(m_icon, L"", m_target, L""));
    EXPECT_FALSE(CreateDesktopShortcut(m_icon, L"Doln", L"", L""));
    EXPECT_FALSE(CreateDesktopShortcut(m_icon, L"Doln", missing, L""));
    EXPECT_FALSE(CreateDesktopShortcut(m_icon, escaping, m_target, L""));
    EXPECT_FALSE(CreateStartMenuShortcut(L"", missing, L"Doln", L""));
    EXPECT_FALSE(CreateStartMenuShortcut(L"", m_target, escaping, L""));
    EXPECT_FALSE(CreateQuickLaunch(L"", m_target, L"", L""));
    EXPECT_FALSE(CreateQuickLaunch(L"Doln", missing, L"", L""));
    EXPECT_FALSE(DeleteDesktopShortcut(L"", m_target));
    EXPECT_FALSE(DeleteStartMenuShortcut(escaping, m_target));
    EXPECT_FALSE(RemoveQuickLaunch(L"nul", m_target));
    EXPECT_FALSE(Exists(ShellFolderPath(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\Doln.lnk"));
    EXPECT_FALSE(Exists(ShellFolderPath(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\..\\逃逸.lnk"));

    EXPECT_FALSE(CreateLink(m_target, L"", L"", L"", L""));
    // A link that cannot be saved is a failure, not a success.
    EXPECT_FALSE(CreateLink(m_target, L"", m_folder + L"\\no-such-folder\\x.lnk", L"", L""));
}

TEST_F(ShortcutsWin, CreateLinkReplacesAnExistingShortcut) {
    const std::wstring path = m_folder + L"\\again.lnk";
    ASSERT_TRUE(CreateLink(m_target, L"", path, L"one", L"first"));
    ASSERT_TRUE(CreateLink(m_target, m_icon, path, L"two", L""));
    const LinkFields link = ReadLink(path);
    EXPECT_EQ(link.arguments, L"two");
    EXPECT_EQ(link.icon, m_icon);
    EXPECT_EQ(link.description, L"");
    EXPECT_FALSE(Exists(path + L".new"));
}

}  // namespace
