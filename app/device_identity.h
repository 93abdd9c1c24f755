#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/code_page.h"

// The parts of the device identity that the statistics servers receive,
// computed from what the Windows layer reads off the machine.

// Size of a drive's identify data, as S.M.A.R.T. returns it.
inline constexpr size_t kIdentifySize = 512;

// The serial from a drive's 512-byte identify data: words 10 to 19, each high
// byte first, trailing and then leading blanks removed, read in the ANSI code
// page. It stops at a zero byte.
std::wstring SerialFromIdentify(std::span<const uint8_t> identify, const ICodePage& ansi);

// cpuid leaf 1 as EDX then EAX in "%08X%08X"; when EDX bit 18 is set (the
// processor serial number), leaf 3's EDX then ECX follow.
struct CpuidLeaves {
    uint32_t eax1 = 0;
    uint32_t edx1 = 0;
    uint32_t ecx3 = 0;
    uint32_t edx3 = 0;
};
std::wstring CpuSignature(const CpuidLeaves& leaves);

// Serial, "|" when there is one, processor signature; at most 127 characters.
std::wstring DeviceText(std::wstring_view serial, std::wstring_view cpuSignature);

// Each character's code unit times 7 as "%04d", with every "0" among the first
// four characters of that group replaced by 'a' + (r mod 26), one r from
// `nextRandom` per character; at most 255 characters.
std::wstring DeviceDid(std::wstring_view deviceText, const std::function<int()>& nextRandom);

// MD5(MD5(Cid + MD5(device text))).
std::wstring DeviceVid(std::wstring_view deviceText, std::wstring_view cid, const ICodePage& ansi);

// Six bytes as "%02X:%02X:%02X:%02X:%02X:%02X"; empty when fewer are given.
std::wstring MacText(std::span<const uint8_t> address);
