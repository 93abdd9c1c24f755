#include "app/device_identity_win.h"

#include <winsock2.h>
#include <windows.h>

#include <intrin.h>
#include <iphlpapi.h>
#include <winioctl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/code_page_win.h"
#include "app/ctrl_block.h"
#include "app/device_identity.h"
#include "fw/handles_win.h"
#include "fw/system_library_win.h"

namespace {

constexpr BYTE kIdentifyDevice = 0xEC;
constexpr BYTE kIdentifyPacketDevice = 0xA1;
constexpr BYTE kAtapiMapBit = 0x10;
constexpr int kDrive = 0;

}  // namespace

std::wstring ReadDiskSerial() {
    wchar_t name[32];
    swprintf(name, 32, L"\\\\.\\PhysicalDrive%d", kDrive);
    fw::ScopedKernelHandle drive(CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                             nullptr, OPEN_EXISTING, 0, nullptr));
    if (!drive.IsValid()) return {};

    GETVERSIONINPARAMS version{};
    static_assert(sizeof version == 24);
    DWORD returned = 0;
    if (!DeviceIoControl(drive.Get(), SMART_GET_VERSION, nullptr, 0, &version, sizeof version, &returned, nullptr)) {
        return {};
    }
    if (version.bIDEDeviceMap == 0) return {};

    SENDCMDINPARAMS in{};
    in.cBufferSize = static_cast<DWORD>(kIdentifySize);
    in.irDriveRegs.bFeaturesReg = 0;
    in.irDriveRegs.bSectorCountReg = 1;
    in.irDriveRegs.bSectorNumberReg = 1;
    in.irDriveRegs.bCylLowReg = 0;
    in.irDriveRegs.bCylHighReg = 0;
    in.irDriveRegs.bDriveHeadReg = (kDrive & 1) ? 0xB0 : 0xA0;
    in.irDriveRegs.bCommandReg = (version.bIDEDeviceMap & kAtapiMapBit) ? kIdentifyPacketDevice : kIdentifyDevice;
    in.bDriveNumber = static_cast<BYTE>(kDrive);
    // SENDCMDOUTPARAMS (16 bytes before its buffer) and the 512-byte answer.
    std::vector<uint8_t> out(sizeof(SENDCMDOUTPARAMS) - 1 + kIdentifySize, 0);
    if (!DeviceIoControl(drive.Get(), SMART_RCV_DRIVE_DATA, &in, sizeof in, out.data(),
                         static_cast<DWORD>(out.size()), &returned, nullptr)) {
        return {};
    }
    const size_t dataAt = offsetof(SENDCMDOUTPARAMS, bBuffer);
    if (out.size() < dataAt + kIdentifySize) return {};
    const CWinCodePage ansi(CP_ACP);
    return SerialFromIdentify(std::span<const uint8_t>(out.data() + dataAt, kIdentifySize), ansi);
}

std::wstring ReadCpuSignature() {
    CpuidLeaves leaves;
    int regs[4] = {};  // EAX, EBX, ECX, EDX
    __cpuid(regs, 1);
    leaves.eax1 = static_cast<uint32_t>(regs[0]);
    leaves.edx1 = static_cast<uint32_t>(regs[3]);
    if ((leaves.edx1 >> 18) & 1u) {
        __cpuid(regs, 3);
        leaves.ecx3 = static_cast<uint32_t>(regs[2]);
        leaves.edx3 = static_cast<uint32_t>(regs[3]);
    }
    return CpuSignature(leaves);
}

namespace {

std::wstring ReadAdapterListMac() {
    // Room for the first adapter; more adapters than fit make the call fail.
    constexpr ULONG kBufferSize = 3240;
    std::vector<uint8_t> buffer(kBufferSize, 0);
    ULONG size = kBufferSize;
    auto* info = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data());
    // iphlpapi loads here, on the first beacon's thread, rather than with
    // the program: each library mapped before the login face holds it up.
    static const fw::ScopedModule iphlpapi = fw::LoadSystemLibrary(L"iphlpapi.dll");
    const auto getAdaptersInfo = fw::SystemFunction<decltype(&GetAdaptersInfo)>(iphlpapi, "GetAdaptersInfo");
    if (getAdaptersInfo == nullptr || getAdaptersInfo(info, &size) != ERROR_SUCCESS) return {};
    return MacText(std::span<const uint8_t>(info->Address, std::min<size_t>(info->AddressLength, 6)));
}

}  // namespace

std::wstring ReadFirstAdapterMac() {
    // Once per process: the adapter list takes milliseconds to read, and
    // start-up's beacons and its login page each want the address.
    static const std::wstring mac = ReadAdapterListMac();
    return mac;
}

DeviceIdentity ReadDeviceIdentity() {
    const CWinCodePage ansi(CP_ACP);
    const std::wstring text = DeviceText(ReadDiskSerial(), ReadCpuSignature());
    DeviceIdentity device;
    device.did = DeviceDid(text, [] { return std::rand(); });
    device.vid = DeviceVid(text, TheCtrlBlock().Cid(), ansi);
    device.mac = ReadFirstAdapterMac();
    return device;
}
