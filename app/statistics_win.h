#pragma once

#include <memory>
#include <string_view>

#include "app/beacon_sender_win.h"
#include "app/beacon_urls.h"
#include "app/day_rules.h"

// The local calendar of this machine.
class CWinClock final : public IClock {
public:
    CivilDate Today() const override;
};

// The process-wide last-date cache of the settings file's "lstTime".
CLastDateCache& TheLastDateCache();

// The beacons of start-up and uninstall. None waits for its request; the
// callers wait on the events where the start-up says so.

// Day rules, the "Game" counter and the "active.htm" beacon.
void SendActiveStatistics(const std::shared_ptr<CBeaconEvents>& events);
// "_az.gif" / "_xz.gif" with this machine's device parameters.
void SendDeviceBeacon(DeviceBeacon kind, const std::shared_ptr<CBeaconEvents>& events);
void SendEventBeacon(int event, std::wstring_view name, const EventChannel& channel,
                     const std::shared_ptr<CBeaconEvents>& events);
// "Inst" counted up and "install.htm"; "UnInst" and "uninstall.htm".
void SendInstallCount(const std::shared_ptr<CBeaconEvents>& events);
void SendUninstallCount(const std::shared_ptr<CBeaconEvents>& events);
