#include "tools/shortcut_names.h"

#include <array>

namespace {

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

wchar_t AsciiUpper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool EqualsAsciiNoCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    return true;
}

// The system resolves these before any extension, in any case, and also with
// trailing blanks or dots ("nul .url" still opens NUL).
bool IsDeviceName(std::wstring_view name) {
    const size_t dot = name.find(L'.');
    std::wstring_view stem = name.substr(0, dot);
    while (!stem.empty() && stem.back() == L' ') stem.remove_suffix(1);
    static constexpr std::array<std::wstring_view, 4> kPlain = {L"CON", L"PRN", L"AUX", L"NUL"};
    for (auto device : kPlain)
        if (EqualsAsciiNoCase(stem, device)) return true;
    if (stem.size() == 4 && stem[3] >= L'1' && stem[3] <= L'9')
        return EqualsAsciiNoCase(stem.substr(0, 3), L"COM") || EqualsAsciiNoCase(stem.substr(0, 3), L"LPT");
    return false;
}

}  // namespace

bool IsPlainFileName(std::wstring_view name) {
    if (name.empty() || name == L"." || name == L"..") return false;
    for (wchar_t c : name) {
        if (c < 0x20) return false;
        if (std::wstring_view(L"<>:\"/\\|?*").find(c) != std::wstring_view::npos) return false;
    }
    // Windows drops trailing blanks and dots: "x." and "x" are one file, and a
    // name of only dots would name the folder or its parent.
    if (name.find_first_not_of(L". ") == std::wstring_view::npos) return false;
    return !IsDeviceName(name);
}

std::wstring FavouriteNameFromEdit(std::wstring_view editText) {
    constexpr size_t kMax = 127;
    std::wstring_view cut = editText.substr(0, kMax);
    if (editText.size() > kMax && IsHighSurrogate(cut.back())) cut.remove_suffix(1);
    return std::wstring(cut);
}

std::wstring FavouriteText(std::wstring_view url) {
    std::wstring text;
    text += L"[DEFAULT]\r\nBASEURL=";
    text += url;
    text += L"\r\n[{000214A0-0000-0000-C000-000000000046}]\r\n=19,2\r\n[InternetShortcut]\r\nURL=";
    text += url;
    text += L"\r\nIDList=\r\n";
    if (text.size() > kFavouriteTextMax) {
        text.resize(kFavouriteTextMax);
        if (IsHighSurrogate(text.back())) text.pop_back();
    }
    return text;
}

std::wstring DesktopShortcutDescription(std::wstring_view portalHost) {
    std::wstring_view name = portalHost.substr(0, portalHost.find(L':'));
    return std::wstring(name) + L"中国最大的网页游戏平台";
}
