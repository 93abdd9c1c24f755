#pragma once

#include <string>

#include "app/beacon_urls.h"

// Read off this machine. A part that cannot be read is empty.
std::wstring ReadDiskSerial();
std::wstring ReadCpuSignature();
// The first adapter's address, read once per process and kept.
std::wstring ReadFirstAdapterMac();

// did (drawn with the C library's rand(), which the program never seeds),
// vid and mac, as the device beacons and the login page send them.
DeviceIdentity ReadDeviceIdentity();
