#include "login/bridge_settings.h"

namespace {

void StoreIfItReadsBack(CSettings& settings, const SettingKey& key, const std::wstring& value,
                        const ICodePage& fileCodePage) {
    if (ReadsBackIdentically(key, value, fileCodePage)) settings.Write(key, value);
}

}  // namespace

std::optional<PageAnswer> RunSettingsCommand(const BridgeRequest& request, CSettings& settings,
                                             const ICodePage& fileCodePage) {
    switch (request.command) {
    case BridgeCommand::SaveInfo:
        StoreIfItReadsBack(settings, settings::kRegUrl, request.argument, fileCodePage);
        return std::nullopt;
    case BridgeCommand::SetupKey:
        StoreIfItReadsBack(settings, settings::kKey, request.argument, fileCodePage);
        return std::nullopt;
    case BridgeCommand::ReadInfo:
        return PageAnswer{"postDataUrl", settings.Read(settings::kRegUrl)};
    case BridgeCommand::ReadKey:
        return PageAnswer{"getTheKey", settings.Read(settings::kKey)};
    case BridgeCommand::LoginNum:
        return PageAnswer{"getlogin", FormatUnsigned(settings.CountUp(settings::kLoginCount))};
    default:
        return std::nullopt;
    }
}

bool TakeFirstRun(CSettings& settings) {
    const bool firstRun = settings.IsInstallTagSet();
    settings.Write(settings::kInstallTag, L"0");
    return firstRun;
}
