#include "app/pe_image.h"

#include <algorithm>
#include <cstring>

#include "app/ctrl_layout.h"

namespace pe {

namespace {

constexpr size_t kDosHeaderSize = 0x40;
constexpr size_t kLfanewOffset = 0x3C;
constexpr size_t kFileHeaderSize = 20;
constexpr size_t kSectionHeaderSize = 40;
constexpr size_t kChecksumOffsetInOptional = 64;
// Where the data directories and their count sit in each optional header.
constexpr size_t kDirCountOffsetPe32 = 92;
constexpr size_t kDirCountOffsetPe32Plus = 108;
constexpr size_t kSecurityDirectory = 4;
constexpr uint16_t kMagicPe32 = 0x10B;
constexpr uint16_t kMagicPe32Plus = 0x20B;

uint16_t ReadU16(std::span<const uint8_t> file, size_t at) {
    return static_cast<uint16_t>(file[at] | file[at + 1] << 8);
}

uint32_t ReadU32(std::span<const uint8_t> file, size_t at) {
    return static_cast<uint32_t>(file[at]) | static_cast<uint32_t>(file[at + 1]) << 8 |
           static_cast<uint32_t>(file[at + 2]) << 16 | static_cast<uint32_t>(file[at + 3]) << 24;
}

// True when [at, at + length) lies inside the file, without overflow.
bool Fits(std::span<const uint8_t> file, size_t at, size_t length) {
    return at <= file.size() && length <= file.size() - at;
}

struct Headers {
    Error error = Error::None;
    size_t optionalAt = 0;
    size_t optionalSize = 0;
    size_t sectionsAt = 0;
    size_t sectionCount = 0;
    bool pe32Plus = false;
};

Headers ReadHeaders(std::span<const uint8_t> file) {
    Headers h;
    if (file.size() < 2 || file[0] != 'M' || file[1] != 'Z') return {Error::NotPe};
    if (!Fits(file, 0, kDosHeaderSize)) return {Error::Truncated};
    const size_t peAt = ReadU32(file, kLfanewOffset);
    if (!Fits(file, peAt, 4 + kFileHeaderSize)) return {Error::Truncated};
    if (std::memcmp(file.data() + peAt, "PE\0\0", 4) != 0) return {Error::NotPe};
    const size_t fileHeaderAt = peAt + 4;
    h.sectionCount = ReadU16(file, fileHeaderAt + 2);
    h.optionalSize = ReadU16(file, fileHeaderAt + 16);
    h.optionalAt = fileHeaderAt + kFileHeaderSize;
    if (!Fits(file, h.optionalAt, h.optionalSize)) return {Error::Truncated};
    if (h.optionalSize < 2) return {Error::NotPe};
    const uint16_t magic = ReadU16(file, h.optionalAt);
    if (magic != kMagicPe32 && magic != kMagicPe32Plus) return {Error::NotPe};
    h.pe32Plus = magic == kMagicPe32Plus;
    h.sectionsAt = h.optionalAt + h.optionalSize;
    if (!Fits(file, h.sectionsAt, h.sectionCount * kSectionHeaderSize)) return {Error::Truncated};
    return h;
}

}  // namespace

CtrlLocation FindCtrlBlock(std::span<const uint8_t> file) {
    const Headers h = ReadHeaders(file);
    if (h.error != Error::None) return {h.error};
    for (size_t i = 0; i < h.sectionCount; ++i) {
        const size_t at = h.sectionsAt + i * kSectionHeaderSize;
        if (std::memcmp(file.data() + at, ".ctrl\0\0\0", 8) != 0) continue;
        const uint32_t virtualSize = ReadU32(file, at + 8);
        const uint32_t rawSize = ReadU32(file, at + 16);
        const uint32_t rawAt = ReadU32(file, at + 20);
        // The loader maps only VirtualSize bytes, so both sizes must hold the block.
        if (rawSize < ctrl::kBlockSize || (virtualSize != 0 && virtualSize < ctrl::kBlockSize)) {
            return {Error::CtrlTooSmall};
        }
        if (!Fits(file, rawAt, ctrl::kBlockSize)) return {Error::Truncated};
        return {Error::None, rawAt};
    }
    return {Error::NoCtrlSection};
}

void UpdateChecksum(std::vector<uint8_t>& file) {
    const Headers h = ReadHeaders(file);
    if (h.error != Error::None || h.optionalSize < kChecksumOffsetInOptional + 4) return;
    const size_t checksumAt = h.optionalAt + kChecksumOffsetInOptional;
    if (ReadU32(file, checksumAt) == 0) return;

    // The image checksum: 16-bit one's-complement-style sum of the file with the
    // checksum field taken as zero, folded, plus the file length.
    uint64_t sum = 0;
    for (size_t i = 0; i + 1 < file.size(); i += 2) {
        if (i == checksumAt || i == checksumAt + 2) continue;
        sum += static_cast<uint16_t>(file[i] | file[i + 1] << 8);
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    if (file.size() % 2 != 0) {
        sum += file.back();
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    const auto checksum = static_cast<uint32_t>(sum + file.size());
    for (int k = 0; k < 4; ++k) file[checksumAt + k] = static_cast<uint8_t>(checksum >> (8 * k));
}

bool StripSignature(std::vector<uint8_t>& file) {
    const Headers h = ReadHeaders(file);
    if (h.error != Error::None) return false;
    const size_t countAt = h.optionalAt + (h.pe32Plus ? kDirCountOffsetPe32Plus : kDirCountOffsetPe32);
    const size_t entryAt = countAt + 4 + 8 * kSecurityDirectory;
    if (entryAt + 8 > h.optionalAt + h.optionalSize || ReadU32(file, countAt) <= kSecurityDirectory) return false;
    // Unlike every other directory, this one holds a file offset, not an address.
    const uint32_t tableAt = ReadU32(file, entryAt);
    const uint32_t tableSize = ReadU32(file, entryAt + 4);
    if (tableAt == 0 && tableSize == 0) return false;
    std::fill_n(file.begin() + static_cast<std::ptrdiff_t>(entryAt), 8, uint8_t{0});
    // The table ends the file, after every section's data; one anywhere else
    // is left as unread trailing data rather than cutting away what it overlaps.
    size_t dataEnd = h.sectionsAt + h.sectionCount * kSectionHeaderSize;
    for (size_t i = 0; i < h.sectionCount; ++i) {
        const size_t at = h.sectionsAt + i * kSectionHeaderSize;
        dataEnd = std::max(dataEnd, size_t{ReadU32(file, at + 20)} + ReadU32(file, at + 16));
    }
    if (tableAt >= dataEnd && Fits(file, tableAt, tableSize) && tableAt + size_t{tableSize} == file.size()) {
        file.resize(tableAt);
    }
    return true;
}

std::string_view Describe(Error error) {
    switch (error) {
        case Error::None: return "ok";
        case Error::NotPe: return "not a PE program";
        case Error::Truncated: return "truncated PE program";
        case Error::NoCtrlSection: return "no .ctrl section";
        case Error::CtrlTooSmall: return ".ctrl section smaller than 0x3000 bytes";
    }
    return "unknown error";
}

}  // namespace pe
