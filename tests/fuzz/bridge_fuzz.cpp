// The login page's "app:" addresses: the command word, the settings commands,
// the "loadgame" label and login text, "setpauth" and the origin check.
#include <memory>

#include "app/settings_store.h"
#include "login/bridge_command.h"
#include "login/bridge_origin.h"
#include "login/bridge_settings.h"
#include "login/load_game.h"
#include "login/login_urls.h"
#include "login/setpauth.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/native/fake_profile_store.h"

namespace {

bool HasSplitter(const std::wstring& text) {
    for (wchar_t c : text)
        if (c == L'|' || c < 0x20) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::unique_ptr<ICodePage> gbk = MakeGbkCodePage();
    const std::wstring url = fuzz::Wide(fuzz::Bytes(data, size));

    const BridgeRequest request = ParseBridgeCommand(url);
    FilterNavigation(url);

    CFakeProfileStore store;
    CSettings settings(store, L"doln");
    for (int i = 0; i < 2; ++i) {
        if (auto answer = RunSettingsCommand(request, settings, *gbk))
            fuzz::Require(answer->argument.size() < 2048, "a page answer fits the read buffer");
    }
    TakeFirstRun(settings);

    const LoadGameParts parts = SplitLoadGame(url);
    if (auto label = DecodeLabel(parts.label, *gbk)) {
        fuzz::Require(!HasSplitter(*label), "a decoded label never splits the login text");
        const LoginLabel login = ParseLabel(*label);
        FormatLabel(login);
        DuplicateLoginMessage(login);
        BuildLoginText(login, url.substr(0, url.size() / 2), url.substr(url.size() / 2), parts.pair);
    }
    DecodeSetPauth(url, *gbk);
    CookieValue(url, L"Pauth");
    AutoLoginUrl(L"127.0.0.1:7251", url, url.substr(0, 100), url);

    if (auto authority = WebAuthority(url))
        fuzz::Require(!authority->empty(), "an authority has a host");
    const OperatorHosts hosts{L"http://127.0.0.1:7251/doln/clients/doln-gwb2-zddl/reg.html", L"127.0.0.1:7251",
                              L"127.0.0.1:7251"};
    JudgeLoginNavigation({url, url, url, true}, hosts);
    return 0;
}
