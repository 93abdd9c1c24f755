#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// Fixed layout of the per-build control block: 48 slots of 0x100 bytes in the
// program's `.ctrl` section. Operators relabel built programs by rewriting
// these bytes, so the offsets never move.
namespace ctrl {

inline constexpr size_t kBlockSize = 0x3000;
inline constexpr size_t kSlotSize = 0x100;
// A text slot keeps its last byte for the terminator, so text never runs into
// the next slot.
inline constexpr size_t kSlotTextMax = kSlotSize - 1;

enum class Slot : uint32_t {
    DisplayName = 0x0000,
    LaunchSwitch = 0x0100,
    TitleName = 0x0200,
    LoginPageUrl = 0x0300,
    ExitPageUrl = 0x0400,
    RefererUrl = 0x0500,
    ClientVersion = 0x0600,
    ExeName = 0x0700,
    GameCode = 0x0800,
    ConfigPage = 0x0900,
    ShortName = 0x0A00,
    StatTag = 0x0B00,
    Agid = 0x1000,
    Cid = 0x1100,
    Aid = 0x1200,
    Oid = 0x1300,
    Oid1 = 0x1400,
    Oid2 = 0x1500,
    BuildFlags = 0x1600,
    BuildTag = 0x1700,
    PortalHost = 0x1800,
    PayHost = 0x1900,
    ClientStatHost = 0x1A00,
    DeviceStatHost = 0x1B00,
    EventStatHost = 0x1C00,
    OnlineStatHost = 0x1D00,
    PartnerHost = 0x1E00,
    QqOAuthHost = 0x1F00,
    GameHallHost = 0x2000,
    ProbeUrl = 0x2100,
    UpdateDomains = 0x2200,
    ExpectedTag = 0x2300,
    UpdateKey = 0x2400,
};

enum class SlotForm {
    Gbk,     // Chinese name text, GBK bytes
    Ascii,   // printable ASCII text
    Digits,  // ASCII decimal digits, possibly empty
    Word,    // 32-bit little-endian word
};

struct SlotInfo {
    std::string_view name;
    Slot slot;
    SlotForm form;
};

// Every named slot, in offset order.
std::span<const SlotInfo> AllSlots();

// Exact, case-sensitive match; nullptr for an unknown name.
const SlotInfo* FindSlot(std::string_view name);

inline constexpr size_t Offset(Slot slot) { return static_cast<size_t>(slot); }

// A text slot's bytes before its first NUL, at most kSlotTextMax of them.
std::string_view SlotText(std::span<const uint8_t, kBlockSize> block, Slot slot);

}  // namespace ctrl
