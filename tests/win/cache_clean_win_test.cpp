#include <windows.h>

#include <shlobj.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/win/folder_link_win.h"
#include "tests/win/test_files_win.h"
#include "tools/cache_clean_win.h"
#include "tools/file_tree.h"
#include "tools/shell_folder_win.h"

namespace {

constexpr wchar_t kPage[] = L"http://cache-test.example/page.htm";
constexpr wchar_t kCookieSite[] = L"http://cache-test.example/";

void MakeFile(const std::wstring& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    std::ofstream(path.c_str()) << "x";
    SetFileAttributesW(path.c_str(), attributes);
}

bool AddCacheEntry(const wchar_t* url) {
    wchar_t file[MAX_PATH] = {};
    if (!CreateUrlCacheEntryW(url, 0, L"htm", file, 0)) return false;
    MakeFile(file);
    FILETIME none{};
    return CommitUrlCacheEntryW(url, file, none, none, NORMAL_CACHE_ENTRY, nullptr, 0, nullptr, nullptr) != FALSE;
}

bool HasCacheEntry(const wchar_t* url) {
    DWORD size = 0;
    GetUrlCacheEntryInfoW(url, nullptr, &size);
    return GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

// Cookie entries of the cache index whose address names `host`.
int CookieEntries(const std::wstring& host) {
    int found = 0;
    std::vector<BYTE> buffer(64 * 1024);
    auto* entry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(buffer.data());
    DWORD size = static_cast<DWORD>(buffer.size());
    HANDLE find = FindFirstUrlCacheEntryW(nullptr, entry, &size);
    if (find == nullptr) return 0;
    do {
        if ((entry->CacheEntryType & COOKIE_CACHE_ENTRY) && std::wstring(entry->lpszSourceUrlName).find(host) != std::wstring::npos)
            ++found;
        size = static_cast<DWORD>(buffer.size());
    } while (FindNextUrlCacheEntryW(find, entry, &size));
    FindCloseUrlCache(find);
    return found;
}

std::wstring Cookie(const wchar_t* site) {
    wchar_t text[512] = {};
    DWORD size = 512;
    return InternetGetCookieW(site, nullptr, text, &size) ? text : L"";
}

}  // namespace

TEST(CacheCleanWin, BrowserCacheLosesEverythingButCookies) {
    const std::wstring cache = ShellFolderPath(CSIDL_INTERNET_CACHE);
    ASSERT_FALSE(cache.empty());
    ASSERT_TRUE(InternetSetCookieW(kCookieSite, L"keep", L"1; expires=Sat, 01-Jan-2039 00:00:00 GMT"));
    ASSERT_TRUE(AddCacheEntry(kPage));
    ASSERT_TRUE(HasCacheEntry(kPage));
    const int cookies = CookieEntries(L"cache-test.example");

    SHCreateDirectoryExW(nullptr, (cache + L"\\sub").c_str(), nullptr);
    MakeFile(cache + L"\\ro.bin", FILE_ATTRIBUTE_READONLY);
    MakeFile(cache + L"\\sub\\ro.bin", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);

    ClearBrowserCache();

    EXPECT_FALSE(HasCacheEntry(kPage));
    EXPECT_EQ(CookieEntries(L"cache-test.example"), cookies) << "cookie entries stay in the index";
    EXPECT_EQ(Cookie(kCookieSite), L"keep=1");
    EXPECT_FALSE(Exists(cache + L"\\ro.bin"));
    EXPECT_FALSE(Exists(cache + L"\\sub"));
}

TEST(CacheCleanWin, LinksInsideTheCacheAreNotFollowed) {
    const std::wstring cache = ShellFolderPath(CSIDL_INTERNET_CACHE);
    const std::wstring outside = TempFile(L"corvane-outside-cache");
    DeleteTree(outside);
    ASSERT_TRUE(CreateDirectoryW(outside.c_str(), nullptr));
    MakeFile(outside + L"\\keep.txt", FILE_ATTRIBUTE_READONLY);
    SHCreateDirectoryExW(nullptr, cache.c_str(), nullptr);
    const std::wstring link = cache + L"\\escape";
    ASSERT_TRUE(MakeFolderLink(link, outside));
    ASSERT_TRUE(Exists(link + L"\\keep.txt"));
    ASSERT_TRUE(GetFileAttributesW(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);

    MakeFile(cache + L"\\beside.bin");

    ClearBrowserCache();

    EXPECT_TRUE(Exists(outside + L"\\keep.txt")) << "the link's target is outside the cache";
    EXPECT_FALSE(Exists(cache + L"\\beside.bin"));
    RemoveFolderLink(link);
    SetFileAttributesW((outside + L"\\keep.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteTree(outside);
}

TEST(CacheCleanWin, FlashObjectsGoOnTheCleaningThread) {
    const std::wstring player = ShellFolderPath(CSIDL_APPDATA) + L"\\Macromedia\\Flash Player";
    const std::wstring objects = player + L"\\#SharedObjects";
    DeleteTree(objects);
    EXPECT_FALSE(ClearFlashSharedObjects()) << "nothing to delete";

    ASSERT_EQ(SHCreateDirectoryExW(nullptr, (objects + L"\\ABCD1234\\localhost").c_str(), nullptr), ERROR_SUCCESS);
    MakeFile(objects + L"\\ABCD1234\\localhost\\game.sol", FILE_ATTRIBUTE_READONLY);
    StartClearCache();
    for (int i = 0; i < 100 && Exists(objects); ++i) Sleep(50);
    EXPECT_FALSE(Exists(objects));
    EXPECT_TRUE(Exists(player)) << "only the stored objects go";
}

TEST(CacheCleanWin, CacheLimitOnlyWhereTheKeyExists) {
    constexpr wchar_t kKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\5.0\\Cache\\Content";
    RegDeleteKeyW(HKEY_CURRENT_USER, kKey);
    EXPECT_FALSE(SetCacheLimit());
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key), ERROR_SUCCESS) << "not created";

    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_TRUE(SetCacheLimit());
    DWORD value = 0, type = 0, size = sizeof(value);
    EXPECT_EQ(RegQueryValueExW(key, L"CacheLimit", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value, 1048576u);
    RegCloseKey(key);
}
