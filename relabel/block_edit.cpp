#include "relabel/block_edit.h"

#include <algorithm>
#include <cstdio>

#include "base/base64.h"
#include "base/utf8.h"

namespace relabel {

namespace {

bool IsPrintableAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}

bool IsDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Decimal or 0x-prefixed hexadecimal, within 32 bits.
bool ParseWord(std::string_view text, uint32_t& word) {
    unsigned base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return false;
    uint64_t value = 0;
    for (char c : text) {
        unsigned digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return false;
        }
        value = value * base + digit;
        if (value > 0xFFFFFFFFu) return false;
    }
    word = static_cast<uint32_t>(value);
    return true;
}

// The bytes a value is stored as, or a reason it cannot be stored.
std::string Encode(const ctrl::SlotInfo& slot, std::string_view utf8Value, const ICodePage& gbk, std::string& bytes) {
    const std::string name(slot.name);
    switch (slot.form) {
        case ctrl::SlotForm::Gbk: {
            std::wstring wide;
            if (!Utf8ToWide(utf8Value, wide)) return name + ": value is not valid UTF-8";
            if (std::any_of(wide.begin(), wide.end(), [](wchar_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); })) {
                return name + ": value holds control characters";
            }
            if (!gbk.FromWide(wide, bytes)) return name + ": value cannot be encoded in GBK";
            break;
        }
        case ctrl::SlotForm::Digits:
            if (!IsDigits(utf8Value)) return name + ": value must be decimal digits";
            bytes.assign(utf8Value);
            break;
        case ctrl::SlotForm::Ascii: {
            if (!IsPrintableAscii(utf8Value)) return name + ": value must be printable ASCII";
            // A mistyped key would leave the build silently refusing every update.
            std::vector<unsigned char> key;
            if (slot.slot == ctrl::Slot::UpdateKey && !utf8Value.empty() && !Base64Decode(utf8Value, key)) {
                return name + ": value must be base64, as updatesign keygen and pubkey print it";
            }
            bytes.assign(utf8Value);
            break;
        }
        case ctrl::SlotForm::Word: {
            uint32_t word = 0;
            if (!ParseWord(utf8Value, word)) return name + ": value must be a 32-bit decimal or 0x hex number";
            bytes.clear();
            for (int k = 0; k < 4; ++k) bytes.push_back(static_cast<char>(word >> (8 * k)));
            return {};
        }
    }
    if (bytes.size() > ctrl::kSlotTextMax) {
        return name + ": value is " + std::to_string(bytes.size()) + " bytes, at most 255 fit";
    }
    return {};
}

}  // namespace

std::string SetSlot(Block& block, std::string_view name, std::string_view utf8Value, const ICodePage& gbk) {
    const ctrl::SlotInfo* slot = ctrl::FindSlot(name);
    if (slot == nullptr) return "unknown slot: " + std::string(name);
    std::string bytes;
    if (std::string reason = Encode(*slot, utf8Value, gbk, bytes); !reason.empty()) return reason;
    auto* begin = block.data() + ctrl::Offset(slot->slot);
    std::fill(begin, begin + ctrl::kSlotSize, uint8_t{0});
    std::copy(bytes.begin(), bytes.end(), begin);
    return {};
}

std::string ApplyProfile(Block& block, std::string_view profile, const ICodePage& gbk) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (profile.starts_with(kBom)) profile.remove_prefix(kBom.size());
    Block edited = block;
    size_t lineNumber = 0;
    while (!profile.empty()) {
        const size_t end = profile.find('\n');
        std::string_view line = profile.substr(0, end);
        profile.remove_prefix(end == std::string_view::npos ? profile.size() : end + 1);
        ++lineNumber;
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (line.empty() || line.starts_with('#')) continue;
        const size_t equals = line.find('=');
        const std::string where = "line " + std::to_string(lineNumber) + ": ";
        if (equals == std::string_view::npos) return where + "expected Slot=value";
        if (std::string reason = SetSlot(edited, line.substr(0, equals), line.substr(equals + 1), gbk);
            !reason.empty()) {
            return where + reason;
        }
    }
    block = edited;
    return {};
}

std::string FormatSlot(const Block& block, const ctrl::SlotInfo& slot, const ICodePage& gbk) {
    const auto* begin = block.data() + ctrl::Offset(slot.slot);
    if (slot.form == ctrl::SlotForm::Word) {
        uint32_t word = 0;
        for (int k = 3; k >= 0; --k) word = word << 8 | begin[k];
        char text[16];
        std::snprintf(text, sizeof text, "0x%X", word);
        return text;
    }
    const auto* text = reinterpret_cast<const char*>(begin);
    const std::string_view bytes(text, std::find(text, text + ctrl::kSlotTextMax, '\0') - text);
    if (slot.form == ctrl::SlotForm::Gbk) return WideToUtf8(gbk.ToWide(bytes));
    std::string shown;
    for (char c : bytes) {
        if (c >= 0x20 && c <= 0x7E) {
            shown.push_back(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
            shown += escaped;
        }
    }
    return shown;
}

std::vector<std::string> EmptyHostWarnings(const Block& block) {
    std::vector<std::string> warnings;
    for (const auto& slot : ctrl::AllSlots()) {
        if (slot.slot < ctrl::Slot::PortalHost || slot.slot > ctrl::Slot::ProbeUrl) continue;
        if (block[ctrl::Offset(slot.slot)] != 0) continue;
        warnings.push_back(std::string(slot.name) + " is empty: " +
                           (slot.slot == ctrl::Slot::ProbeUrl ? "the built-in public address is probed"
                                                              : "nothing is sent to this host"));
    }
    return warnings;
}

}  // namespace relabel
