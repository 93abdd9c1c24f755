#include "app/start_mode.h"

#include "app/settings_store.h"

namespace {

wchar_t AsciiUpper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

std::wstring Upper(std::wstring_view text) {
    std::wstring out(text);
    for (wchar_t& c : out) c = AsciiUpper(c);
    return out;
}

bool EqualsNoCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    }
    return true;
}

std::wstring_view Arg(std::span<const std::wstring> args, size_t index, size_t maxChars) {
    if (index >= args.size()) return {};
    return std::wstring_view(args[index]).substr(0, maxChars);
}

// The hall passes its window as one leading character and the decimal handle.
intptr_t HallWindow(std::span<const std::wstring> args) {
    const std::wstring_view arg = Arg(args, 2, kHallWindowArgMax);
    return arg.empty() ? 0 : static_cast<intptr_t>(ParseLeadingInt(arg.substr(1)));
}

}  // namespace

bool IsInInstallFolder(std::wstring_view exePath, std::wstring_view commonAppData) {
    if (commonAppData.empty()) return false;
    const std::wstring folder = Upper(commonAppData) + Upper(settings::kFolder);
    return Upper(exePath).find(folder) != std::wstring::npos;
}

StartRequest DecideStartMode(std::span<const std::wstring> args, std::wstring_view launchSwitch,
                             std::wstring_view exePath, std::wstring_view commonAppData) {
    StartRequest request;
    const std::wstring_view first = args.size() > 1 ? std::wstring_view(args[1]) : std::wstring_view{};
    const struct {
        std::wstring_view name;
        StartMode mode;
    } switches[] = {
        {kWebSwitch, StartMode::WebStart},
        {launchSwitch, StartMode::ShortcutStart},
        {L"/uninst", StartMode::UninstallStart},
        {L"/update", StartMode::UpdateStart},
        {L"/newgm", StartMode::NewGameStart},
        {L"/gmhall", StartMode::HallStart},
        {L"/Logo", StartMode::LogoStart},
    };
    for (const auto& entry : switches) {
        if (args.size() > 1 && !entry.name.empty() && EqualsNoCase(first, entry.name)) {
            request.mode = entry.mode;
            if (entry.mode == StartMode::NewGameStart || entry.mode == StartMode::HallStart) {
                request.hallWindow = HallWindow(args);
            }
            if (entry.mode == StartMode::NewGameStart) request.gameAddress = Arg(args, 3, kGameAddressArgMax);
            return request;
        }
    }
    request.mode = IsInInstallFolder(exePath, commonAppData) ? StartMode::InstalledStart : StartMode::FirstRun;
    return request;
}
