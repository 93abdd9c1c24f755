#include "browser/frame_urls.h"

#include "app/beacon_urls.h"
#include "app/settings_store.h"
#include "browser/page_label.h"
#include "net/url_encode.h"

std::wstring RequestSafe(std::wstring_view value) {
    static constexpr wchar_t kHex[] = L"0123456789ABCDEF";
    std::wstring out;
    out.reserve(value.size());
    for (wchar_t c : value) {
        if (c <= 0x20 || c == 0x7F || c == L'#' || c == L'&') {
            out += L'%';
            out += kHex[(c >> 4) & 0xF];
            out += kHex[c & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

std::wstring GameHallPageAddress(const CCtrlBlock& block) {
    return L"http://" + block.GameHallHost() + L"/webgame.htm";
}

std::wstring PageLoginBeaconUrl(const CCtrlBlock& block, std::wstring_view account, int pageCount) {
    return LoginBeaconUrl(block, RequestSafe(account), pageCount);
}

uint32_t OnlineSeconds(uint32_t startTick, uint32_t nowTick) {
    return static_cast<uint32_t>(nowTick - startTick) / 1000u;
}

std::optional<std::wstring> OnlineTimeUrl(const CCtrlBlock& block, std::wstring_view label,
                                          std::wstring_view loginGame, uint32_t seconds) {
    std::wstring url = L"http://" + block.OnlineStatHost() + L"/d.php?a=web.online&game=" + RequestSafe(loginGame) +
                       L"&server=S" + RequestSafe(ServerOfLabel(label)) + L"&length=" + FormatUnsigned(seconds) +
                       L"&cid=" + block.Cid();
    if (url.size() > kOnlineUrlMax) return std::nullopt;
    return url;
}

std::wstring WebShortcutTarget(const CCtrlBlock& block, WebShortcut type, std::wstring_view loginGame) {
    const std::wstring portal = L"http://" + block.PortalHost();
    switch (type) {
        case WebShortcut::Service: return portal + L"/kefu/";
        case WebShortcut::NoviceCard: return portal + L"/" + std::wstring(loginGame) + L"/xsk/";
        case WebShortcut::Pay: return L"http://" + block.PayHost() + L"/?gamename=" + block.GameCode();
        case WebShortcut::Messages: return portal + L"/message/";
        case WebShortcut::UserInfo: break;
    }
    return portal + L"/user/userinfo.php";
}

std::optional<std::wstring> WebShortcutUrl(const CCtrlBlock& block, WebShortcut type, const PageRecord& record) {
    const std::wstring target = UrlEncode(WebShortcutTarget(block, type, record.loginGame), kShortcutTargetCapacity);
    if (target.empty()) return std::nullopt;
    std::wstring url = L"http://" + block.PortalHost() + L"/user/?_c=hallClient&_a=autoLogin&pauth=" +
                       RequestSafe(record.pauth) + L"&url=" + target + L"&ptusertype=" +
                       RequestSafe(record.userType) + L"&type=" + FormatInt(static_cast<int>(type)) + L"&game=" +
                       block.GameCode();
    if (url.size() > kShortcutUrlMax) return std::nullopt;
    return url;
}
