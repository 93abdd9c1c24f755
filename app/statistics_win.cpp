#include "app/statistics_win.h"

#include <windows.h>

#include "app/ctrl_block.h"
#include "app/device_identity_win.h"
#include "app/settings_store_win.h"

CivilDate CWinClock::Today() const {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay};
}

CLastDateCache& TheLastDateCache() {
    static CLastDateCache cache;
    return cache;
}

void SendActiveStatistics(const std::shared_ptr<CBeaconEvents>& events) {
    CSettings settings = AppSettings();
    const CWinClock clock;
    CDayRules rules(settings, clock, TheLastDateCache());
    const ActiveStats stats = rules.RunActiveStatistics();
    SendBeacon(ActiveBeaconUrl(TheCtrlBlock(), stats), events);
}

void SendDeviceBeacon(DeviceBeacon kind, const std::shared_ptr<CBeaconEvents>& events) {
    // Read here, not on the beacon's thread: the device id draws on this
    // thread's rand() sequence.
    const std::wstring params = DeviceParams(TheCtrlBlock(), ReadDeviceIdentity());
    SendBeacon(DeviceBeaconUrl(TheCtrlBlock(), kind, params), events);
}

void SendEventBeacon(int event, std::wstring_view name, const EventChannel& channel,
                     const std::shared_ptr<CBeaconEvents>& events) {
    SendBeaconBuiltOnThread(
        [event, name = std::wstring(name), channel] {
            return EventBeaconUrl(TheCtrlBlock(), event, name, channel, ReadFirstAdapterMac());
        },
        events, kEventBeaconUrlMax);
}

void SendInstallCount(const std::shared_ptr<CBeaconEvents>& events) {
    CSettings settings = AppSettings();
    SendBeacon(InstallBeaconUrl(TheCtrlBlock(), settings.CountUp(settings::kInst)), events);
}

void SendUninstallCount(const std::shared_ptr<CBeaconEvents>& events) {
    CSettings settings = AppSettings();
    SendBeacon(UninstallBeaconUrl(TheCtrlBlock(), settings.CountUp(settings::kUnInst)), events);
}
