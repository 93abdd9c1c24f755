#include "app/start_mode.h"

#include "base/ascii_case.h"
#include "app/settings_store.h"

namespace {

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
    const std::wstring folder = AsciiUppered(commonAppData) + AsciiUppered(settings::kFolder);
    return AsciiUppered(exePath).find(folder) != std::wstring::npos;
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
