#include "app/device_identity.h"

#include "net/md5.h"

namespace {

constexpr size_t kDeviceTextMax = 127;
constexpr size_t kDidMax = 255;
constexpr size_t kSerialFirstWord = 10;
constexpr size_t kSerialWords = 10;

std::wstring Hex8(uint32_t value) {
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring text(8, L'0');
    for (int i = 7; i >= 0; --i, value >>= 4) text[static_cast<size_t>(i)] = kDigits[value & 0x0F];
    return text;
}

std::wstring Hex2(uint8_t value) {
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    return {kDigits[value >> 4], kDigits[value & 0x0F]};
}

}  // namespace

std::wstring SerialFromIdentify(std::span<const uint8_t> identify, const ICodePage& ansi) {
    if (identify.size() < kIdentifySize) return {};
    std::string bytes;
    for (size_t word = kSerialFirstWord; word < kSerialFirstWord + kSerialWords; ++word) {
        bytes += static_cast<char>(identify[word * 2 + 1]);
        bytes += static_cast<char>(identify[word * 2]);
    }
    bytes = bytes.substr(0, bytes.find('\0'));
    const size_t end = bytes.find_last_not_of(' ');
    if (end == std::string::npos) return {};
    bytes.resize(end + 1);
    bytes.erase(0, bytes.find_first_not_of(' '));
    return ansi.ToWide(bytes).substr(0, kDeviceTextMax);
}

std::wstring CpuSignature(const CpuidLeaves& leaves) {
    std::wstring text = Hex8(leaves.edx1) + Hex8(leaves.eax1);
    if ((leaves.edx1 >> 18) & 1u) text += Hex8(leaves.edx3) + Hex8(leaves.ecx3);
    return text;
}

std::wstring DeviceText(std::wstring_view serial, std::wstring_view cpuSignature) {
    std::wstring text(serial);
    if (!text.empty()) text += L'|';
    text += cpuSignature;
    return text.substr(0, kDeviceTextMax);
}

std::wstring DeviceDid(std::wstring_view deviceText, const std::function<int()>& nextRandom) {
    std::wstring did;
    for (wchar_t c : deviceText) {
        std::wstring group = std::to_wstring(static_cast<uint32_t>(c) * 7);
        if (group.size() < 4) group.insert(0, 4 - group.size(), L'0');
        const int r = nextRandom();
        const auto letter = static_cast<wchar_t>(L'a' + (r % 26 + 26) % 26);
        for (size_t i = 0; i < 4; ++i) {
            if (group[i] == L'0') group[i] = letter;
        }
        did += group;
        if (did.size() >= kDidMax) break;
    }
    return did.substr(0, kDidMax);
}

std::wstring DeviceVid(std::wstring_view deviceText, std::wstring_view cid, const ICodePage& ansi) {
    const std::wstring m1 = Md5Text(deviceText, ansi);
    return Md5Text(Md5Text(std::wstring(cid) + m1, ansi), ansi);
}

std::wstring MacText(std::span<const uint8_t> address) {
    if (address.size() < 6) return {};
    std::wstring text;
    for (size_t i = 0; i < 6; ++i) {
        if (i > 0) text += L':';
        text += Hex2(address[i]);
    }
    return text;
}
