#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/ctrl_block.h"
#include "app/day_rules.h"

// The statistics servers' URL formats. Control-block values go in as they
// are; only event names and the referer are percent-encoded. The builders
// never cut: the sender refuses a URL longer than its kind's bound, which
// the peers' buffers set: 512 characters for the statistics, login and
// device beacons, 1,024 for event beacons, whose encoded referer alone may
// take most of 512.
inline constexpr size_t kBeaconUrlMax = 511;
inline constexpr size_t kEventBeaconUrlMax = 1023;

std::wstring InstallBeaconUrl(const CCtrlBlock& block, uint32_t count);
std::wstring ActiveBeaconUrl(const CCtrlBlock& block, const ActiveStats& stats);
std::wstring UninstallBeaconUrl(const CCtrlBlock& block, uint32_t count);
std::wstring LoginBeaconUrl(const CCtrlBlock& block, std::wstring_view uid, int index);

struct DeviceIdentity {
    std::wstring did;
    std::wstring vid;
    std::wstring mac;
};

// "agid=..&cid=..&aid=..&game=..&did=..&vid=..&mac=..", also asked for by the
// login page.
std::wstring DeviceParams(const CCtrlBlock& block, const DeviceIdentity& device);

enum class DeviceBeacon { Install, Uninstall };
std::wstring DeviceBeaconUrl(const CCtrlBlock& block, DeviceBeacon kind, std::wstring_view deviceParams);

struct EventChannel {
    std::wstring oid;
    std::wstring oid1;
    std::wstring oid2;
    std::wstring cid;
    std::wstring aid;
};

EventChannel BlockChannel(const CCtrlBlock& block);
// The install event reports against fixed channel values, whatever the build.
EventChannel InstallEventChannel();

// Event numbers and names of the start-up's event beacons.
namespace beacon_event {
inline constexpr int kOpen = 100;
inline constexpr std::wstring_view kOpenName = L"打开";
inline constexpr int kInstall = 106;
inline constexpr std::wstring_view kInstallName = L"安装";
inline constexpr int kUninstall = 107;
inline constexpr std::wstring_view kUninstallName = L"卸载";
}  // namespace beacon_event

// `mac` is the device's MAC text, sent as the user session.
std::wstring EventBeaconUrl(const CCtrlBlock& block, int event, std::wstring_view name, const EventChannel& channel,
                            std::wstring_view mac);
