#include "tools/cache_clean_win.h"

#include <shlobj.h>
#include <wininet.h>

#include <string>
#include <vector>

#include "fw/handles_win.h"
#include "tools/file_tree.h"
#include "tools/shell_folder_win.h"

namespace {

constexpr wchar_t kCacheKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\5.0\\Cache\\Content";
constexpr DWORD kCacheLimit = 0x100000;
constexpr wchar_t kFlashObjects[] = L"\\Macromedia\\Flash Player\\#SharedObjects";

// An entry's size comes from the cache index; a damaged index must not make
// the cleaner allocate without bound or walk forever.
constexpr DWORD kEntrySizeMax = 1 << 20;
constexpr int kEntriesMax = 1 << 20;

struct UrlCacheFindTraits {
    using Handle = HANDLE;
    static Handle Null() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { FindCloseUrlCache(h); }
};
using ScopedUrlCacheFind = fw::ScopedHandle<UrlCacheFindTraits>;

struct RegKeyTraits {
    using Handle = HKEY;
    static Handle Null() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { RegCloseKey(h); }
};
using ScopedRegKey = fw::ScopedHandle<RegKeyTraits>;

// The cache's entries one by one into a buffer that grows to each entry's size.
class CacheEntryWalk {
public:
    CacheEntryWalk() : m_buffer(4096) {
        Fetch([this](DWORD* size) {
            m_find.Reset(FindFirstUrlCacheEntryW(nullptr, Entry(), size));
            return m_find.IsValid();
        });
    }

    const INTERNET_CACHE_ENTRY_INFOW* Current() const { return m_find.IsValid() && m_ok ? Entry() : nullptr; }

    void Next() {
        if (!m_find.IsValid() || ++m_count >= kEntriesMax) {
            m_ok = false;
            return;
        }
        Fetch([this](DWORD* size) { return FindNextUrlCacheEntryW(m_find.Get(), Entry(), size) != FALSE; });
    }

private:
    INTERNET_CACHE_ENTRY_INFOW* Entry() { return reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(m_buffer.data()); }
    const INTERNET_CACHE_ENTRY_INFOW* Entry() const {
        return reinterpret_cast<const INTERNET_CACHE_ENTRY_INFOW*>(m_buffer.data());
    }

    // Calls `get` with the buffer, once more with a larger one when the entry
    // does not fit; whether an entry came is the walk's state.
    template <class Get>
    void Fetch(Get get) {
        DWORD size = static_cast<DWORD>(m_buffer.size());
        bool got = get(&size);
        if (!got && GetLastError() == ERROR_INSUFFICIENT_BUFFER && size > m_buffer.size() && size <= kEntrySizeMax) {
            m_buffer.resize(size);
            got = get(&size);
        }
        m_ok = got;
    }

    std::vector<BYTE> m_buffer;
    ScopedUrlCacheFind m_find;
    bool m_ok = false;
    int m_count = 0;
};

void DeleteCacheEntriesExceptCookies() {
    for (CacheEntryWalk walk; const INTERNET_CACHE_ENTRY_INFOW* entry = walk.Current(); walk.Next()) {
        if ((entry->CacheEntryType & COOKIE_CACHE_ENTRY) == 0 && entry->lpszSourceUrlName != nullptr)
            DeleteUrlCacheEntryW(entry->lpszSourceUrlName);
    }
}

}  // namespace

BOOL ClearBrowserCache() {
    DeleteCacheEntriesExceptCookies();
    const std::wstring folder = ShellFolderPath(CSIDL_INTERNET_CACHE);
    if (folder.empty()) return FALSE;
    return DeleteTree(folder) ? TRUE : FALSE;
}

BOOL ClearFlashSharedObjects() {
    const std::wstring roaming = ShellFolderPath(CSIDL_APPDATA);
    if (roaming.empty()) return FALSE;
    return DeleteTree(roaming + kFlashObjects) ? TRUE : FALSE;
}

BOOL SetCacheLimit() {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kCacheKey, 0, KEY_ALL_ACCESS, &opened) != ERROR_SUCCESS) return FALSE;
    ScopedRegKey key(opened);
    const DWORD limit = kCacheLimit;
    return RegSetValueExW(key.Get(), L"CacheLimit", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&limit),
                          sizeof(limit)) == ERROR_SUCCESS
               ? TRUE
               : FALSE;
}

DWORD WINAPI ClearCacheThread(LPVOID) {
    ClearFlashSharedObjects();
    ClearBrowserCache();
    return 0;
}

void StartClearCache() {
    fw::ScopedKernelHandle thread(CreateThread(nullptr, 0, &ClearCacheThread, nullptr, 0, nullptr));
}
