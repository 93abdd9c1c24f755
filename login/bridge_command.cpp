#include "login/bridge_command.h"

#include <array>
#include <utility>

namespace {

constexpr std::wstring_view kScheme = L"app:";
constexpr size_t kWordStart = 6;
constexpr size_t kWordLength = 8;
constexpr size_t kRedirectTarget = 14;
constexpr size_t kStoredValue = 19;

constexpr std::array<std::pair<std::wstring_view, BridgeCommand>, 12> kWords{{
    {L"loadgame", BridgeCommand::LoadGame},
    {L"exitgame", BridgeCommand::ExitGame},
    {L"minimize", BridgeCommand::Minimize},
    {L"redrict:", BridgeCommand::Redirect},
    {L"autorun0", BridgeCommand::AutorunOff},
    {L"autorun1", BridgeCommand::AutorunOn},
    {L"saveinfo", BridgeCommand::SaveInfo},
    {L"readinfo", BridgeCommand::ReadInfo},
    {L"setupkey", BridgeCommand::SetupKey},
    {L"read_key", BridgeCommand::ReadKey},
    {L"loginnum", BridgeCommand::LoginNum},
    {L"setpauth", BridgeCommand::SetPauth},
}};

std::wstring From(std::wstring_view url, size_t position) {
    return position < url.size() ? std::wstring(url.substr(position)) : std::wstring();
}

}  // namespace

BridgeRequest ParseBridgeCommand(std::wstring_view url) {
    BridgeRequest request;
    if (!url.starts_with(kScheme)) return request;
    request.command = BridgeCommand::Unknown;
    if (url.size() < kWordStart + kWordLength) return request;
    const std::wstring_view word = url.substr(kWordStart, kWordLength);
    for (const auto& [name, command] : kWords) {
        if (word == name) {
            request.command = command;
            break;
        }
    }
    switch (request.command) {
    case BridgeCommand::Redirect:
        request.argument = From(url, kRedirectTarget);
        break;
    case BridgeCommand::SaveInfo:
    case BridgeCommand::SetupKey:
        request.argument = From(url, kStoredValue);
        break;
    case BridgeCommand::LoadGame:
    case BridgeCommand::SetPauth:
        request.argument = std::wstring(url);
        break;
    default:
        break;
    }
    return request;
}

NavigationVerdict FilterNavigation(std::wstring_view url) {
    if (url.starts_with(kScheme)) return NavigationVerdict::Cancel;
    if (url.starts_with(L"javascript")) return NavigationVerdict::Allow;
    return NavigationVerdict::Leave;
}
