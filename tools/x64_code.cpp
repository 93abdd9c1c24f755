#include "tools/x64_code.h"

#include <cstring>
#include <limits>

namespace x64 {
namespace {

bool IsLegacyPrefix(uint8_t b) {
    switch (b) {
        case 0x66: case 0x67: case 0xF0: case 0xF2: case 0xF3:
        case 0x26: case 0x2E: case 0x36: case 0x3E: case 0x64: case 0x65:
            return true;
        default:
            return false;
    }
}

// Length of the ModRM byte with its SIB and displacement; sets `ripRelative`
// when the operand is addressed from the next instruction.
std::optional<size_t> ModRmLength(std::span<const uint8_t> code, size_t at, bool* ripRelative) {
    if (at >= code.size()) return std::nullopt;
    const uint8_t modrm = code[at];
    const int mod = modrm >> 6, rm = modrm & 7;
    size_t length = 1;
    if (mod == 3) return length;
    if (rm == 4) {
        if (at + 1 >= code.size()) return std::nullopt;
        const uint8_t sib = code[at + 1];
        ++length;
        if (mod == 0 && (sib & 7) == 5) length += 4;
    } else if (mod == 0 && rm == 5) {
        *ripRelative = true;
        length += 4;
    }
    if (mod == 1) length += 1;
    if (mod == 2) length += 4;
    return length;
}

enum Operands : uint8_t {
    kBad,      // not decoded
    kNone,     // opcode only
    kModRm,    // ModRM
    kModRmI8,  // ModRM, imm8
    kModRmIz,  // ModRM, imm16/32
    kI8,       // imm8
    kI16,      // imm16
    kIz,       // imm16/32
    kRel8,     // jcc/jmp rel8
    kRel32,    // jcc/jmp/call rel32
    kTestGroup8,   // F6: imm8 only for /0 and /1
    kTestGroupZ,   // F7: imm16/32 only for /0 and /1
    kMovImm,   // B8-BF: imm16/32, imm64 with REX.W
    kMoffs,    // A0-A3: a 64-bit address (32 with 67)
    kEnter,    // imm16, imm8
};

Operands OneByte(uint8_t op) {
    if (op < 0x40) {
        switch (op & 7) {
            case 0: case 1: case 2: case 3: return kModRm;
            case 4: return kI8;
            case 5: return kIz;
            default: return kBad;  // 0F, prefixes and opcodes invalid in 64-bit mode
        }
    }
    if (op >= 0x50 && op <= 0x5F) return kNone;
    if (op >= 0x70 && op <= 0x7F) return kRel8;
    if (op >= 0x84 && op <= 0x8F) return kModRm;
    if (op >= 0x90 && op <= 0x99) return kNone;
    if (op >= 0x9B && op <= 0x9F) return kNone;
    if (op >= 0xA4 && op <= 0xA7) return kNone;
    if (op >= 0xAA && op <= 0xAF) return kNone;
    if (op >= 0xB0 && op <= 0xB7) return kI8;
    if (op >= 0xB8 && op <= 0xBF) return kMovImm;
    if (op >= 0xD0 && op <= 0xD3) return kModRm;
    if (op >= 0xD8 && op <= 0xDF) return kModRm;  // x87
    if (op >= 0xE4 && op <= 0xE7) return kI8;
    if (op >= 0xEC && op <= 0xEF) return kNone;
    if (op >= 0xF8 && op <= 0xFD) return kNone;
    switch (op) {
        case 0x63: return kModRm;
        case 0x68: return kIz;
        case 0x69: return kModRmIz;
        case 0x6A: return kI8;
        case 0x6B: return kModRmI8;
        case 0x80: case 0x83: return kModRmI8;
        case 0x81: return kModRmIz;
        case 0xA0: case 0xA1: case 0xA2: case 0xA3: return kMoffs;
        case 0xA8: return kI8;
        case 0xA9: return kIz;
        case 0xC0: case 0xC1: return kModRmI8;
        case 0xC2: return kI16;
        case 0xC3: return kNone;
        case 0xC6: return kModRmI8;
        case 0xC7: return kModRmIz;
        case 0xC8: return kEnter;
        case 0xC9: case 0xCB: case 0xCC: case 0xF1: case 0xF4: case 0xF5: return kNone;
        case 0xCA: return kI16;
        case 0xCD: return kI8;
        case 0xE8: case 0xE9: return kRel32;
        case 0xEB: return kRel8;
        case 0xF6: return kTestGroup8;
        case 0xF7: return kTestGroupZ;
        case 0xFE: case 0xFF: return kModRm;
        default: return kBad;  // VEX/EVEX, loop/jrcxz, far forms, invalid opcodes
    }
}

Operands TwoByte(uint8_t op) {
    if (op >= 0x80 && op <= 0x8F) return kRel32;
    if (op >= 0x40 && op <= 0x4F) return kModRm;   // cmovcc
    if (op >= 0x90 && op <= 0x9F) return kModRm;   // setcc
    if (op >= 0x10 && op <= 0x17) return kModRm;   // SSE moves
    if (op >= 0x18 && op <= 0x1F) return kModRm;   // hints, nop r/m, endbr
    if (op >= 0x28 && op <= 0x2F) return kModRm;
    if (op >= 0x50 && op <= 0x6F) return kModRm;
    if (op >= 0x70 && op <= 0x73) return kModRmI8;
    if (op >= 0x74 && op <= 0x76) return kModRm;
    if (op >= 0x7C && op <= 0x7F) return kModRm;
    if (op >= 0xC8 && op <= 0xCF) return kNone;    // bswap
    if (op >= 0xD0) return kModRm;                 // SSE integer
    switch (op) {
        case 0x00: case 0x01: case 0x0D: return kModRm;
        case 0x05: case 0x0B: case 0x31: case 0xA2: case 0x77: return kNone;
        case 0xA3: case 0xA5: case 0xAB: case 0xAD: case 0xAE: case 0xAF: return kModRm;
        case 0xA4: case 0xAC: case 0xBA: return kModRmI8;
        case 0xB0: case 0xB1: case 0xB3: case 0xB6: case 0xB7: return kModRm;
        case 0xBB: case 0xBC: case 0xBD: case 0xBE: case 0xBF: return kModRm;
        case 0xC0: case 0xC1: case 0xC3: case 0xC7: return kModRm;
        case 0xC2: case 0xC4: case 0xC5: case 0xC6: return kModRmI8;
        default: return kBad;
    }
}

int64_t ReadSigned(std::span<const uint8_t> code, size_t at, size_t size) {
    if (size == 1) return static_cast<int8_t>(code[at]);
    int32_t value = 0;
    std::memcpy(&value, code.data() + at, sizeof(value));
    return value;
}

void Append(std::vector<uint8_t>& out, uint64_t value, size_t bytes) {
    for (size_t i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

bool FitsInt32(int64_t value) {
    return value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max();
}

}  // namespace

Instruction Decode(std::span<const uint8_t> code) {
    Instruction result;
    size_t at = 0;
    bool operandSize16 = false, addressSize32 = false;
    // At most four prefixes: an instruction may not exceed 15 bytes anyway.
    while (at < code.size() && at < 4 && IsLegacyPrefix(code[at])) {
        operandSize16 |= code[at] == 0x66;
        addressSize32 |= code[at] == 0x67;
        ++at;
    }
    bool rexW = false;
    if (at < code.size() && (code[at] & 0xF0) == 0x40) {
        rexW = (code[at] & 0x08) != 0;
        ++at;
    }
    if (at >= code.size()) return {};
    const uint8_t first = code[at++];
    Operands operands;
    bool twoByte = false;
    size_t extraImmediate = 0;  // the imm8 of 0F 3A
    if (first == 0x0F) {
        if (at >= code.size()) return {};
        const uint8_t second = code[at++];
        twoByte = true;
        if (second == 0x38 || second == 0x3A) {
            if (at >= code.size()) return {};
            ++at;  // the third opcode byte
            operands = kModRm;
            if (second == 0x3A) extraImmediate = 1;
        } else {
            operands = TwoByte(second);
        }
        if (operands == kRel32) result.condition = second & 0x0F;
    } else {
        operands = OneByte(first);
        if (first >= 0x70 && first <= 0x7F) result.condition = first & 0x0F;
    }
    if (operands == kBad) return {};

    const size_t immZ = operandSize16 ? 2 : 4;
    bool ripRelative = false;
    size_t immediate = extraImmediate;
    size_t relSize = 0;
    bool hasModRm = false;
    switch (operands) {
        case kNone: break;
        case kModRm: hasModRm = true; break;
        case kModRmI8: hasModRm = true; immediate += 1; break;
        case kModRmIz: hasModRm = true; immediate += immZ; break;
        case kI8: immediate += 1; break;
        case kI16: immediate += 2; break;
        case kIz: immediate += immZ; break;
        case kRel8: relSize = 1; break;
        case kRel32: relSize = 4; break;
        case kTestGroup8:
        case kTestGroupZ:
            hasModRm = true;
            if (at >= code.size()) return {};
            if (((code[at] >> 3) & 7) < 2) immediate += operands == kTestGroup8 ? 1 : immZ;
            break;
        case kMovImm: immediate += rexW ? 8 : immZ; break;
        case kMoffs: immediate += addressSize32 ? 4 : 8; break;
        case kEnter: immediate += 3; break;
        case kBad: return {};
    }
    size_t dispOffset = 0;
    const bool indirectJump = !twoByte && first == 0xFF && at < code.size() &&
                              (((code[at] >> 3) & 7) == 4 || ((code[at] >> 3) & 7) == 5);
    if (hasModRm) {
        const auto modrm = ModRmLength(code, at, &ripRelative);
        if (!modrm) return {};
        dispOffset = at + 1;
        at += *modrm;
    }
    if (relSize != 0) {
        // An operand-size prefix truncates a near branch's target on some
        // processors and not on others; such code is not moved.
        if (operandSize16 || at + relSize > code.size()) return {};
        result.branch = ReadSigned(code, at, relSize);
        at += relSize;
    }
    at += immediate;
    if (at > code.size() || at > 15) return {};
    // Addressed from a 32-bit instruction pointer: not worth moving.
    if (ripRelative && addressSize32) return {};

    result.length = at;
    if (relSize != 0) {
        const bool conditional = twoByte || (first >= 0x70 && first <= 0x7F);
        result.kind = conditional ? Kind::CondJump : first == 0xE8 ? Kind::Call : Kind::Jump;
    } else if (ripRelative) {
        result.kind = Kind::RipRelative;
        result.dispOffset = dispOffset;
    } else if (!twoByte && (first == 0xC3 || first == 0xC2)) {
        result.kind = Kind::Return;
    } else {
        result.kind = Kind::Plain;
    }
    result.endsFlow = result.kind == Kind::Jump || result.kind == Kind::Return || indirectJump;
    return result;
}

std::vector<uint8_t> AbsoluteJump(uint64_t target) {
    std::vector<uint8_t> out{0xFF, 0x25, 0, 0, 0, 0};
    Append(out, target, 8);
    return out;
}

std::optional<std::vector<uint8_t>> RelativeJump(uint64_t from, uint64_t to) {
    const int64_t distance = static_cast<int64_t>(to - (from + 5));
    if (!FitsInt32(distance)) return std::nullopt;
    std::vector<uint8_t> out{0xE9};
    Append(out, static_cast<uint64_t>(distance), 4);
    return out;
}

std::optional<Relocated> RelocatePrologue(std::span<const uint8_t> code, uint64_t from, uint64_t to, size_t minBytes) {
    Relocated out;
    while (out.covered < minBytes) {
        const Instruction ins = Decode(code.subspan(out.covered));
        if (ins.kind == Kind::Unsupported || ins.length == 0) return std::nullopt;
        const std::span<const uint8_t> bytes = code.subspan(out.covered, ins.length);
        const uint64_t oldNext = from + out.covered + ins.length;
        switch (ins.kind) {
            case Kind::Plain:
            case Kind::Return:
                out.code.insert(out.code.end(), bytes.begin(), bytes.end());
                break;
            case Kind::RipRelative: {
                int32_t disp = 0;
                std::memcpy(&disp, bytes.data() + ins.dispOffset, sizeof(disp));
                const uint64_t operand = oldNext + static_cast<int64_t>(disp);
                const uint64_t newNext = to + out.code.size() + ins.length;
                const int64_t newDisp = static_cast<int64_t>(operand - newNext);
                if (!FitsInt32(newDisp)) return std::nullopt;
                const size_t at = out.code.size();
                out.code.insert(out.code.end(), bytes.begin(), bytes.end());
                const int32_t narrowed = static_cast<int32_t>(newDisp);
                std::memcpy(out.code.data() + at + ins.dispOffset, &narrowed, sizeof(narrowed));
                break;
            }
            case Kind::Jump: {
                const auto jump = AbsoluteJump(oldNext + ins.branch);
                out.code.insert(out.code.end(), jump.begin(), jump.end());
                break;
            }
            case Kind::CondJump: {
                // The opposite condition skips the far jump that the original
                // condition takes.
                out.code.push_back(static_cast<uint8_t>(0x70 | (ins.condition ^ 1)));
                out.code.push_back(14);
                const auto jump = AbsoluteJump(oldNext + ins.branch);
                out.code.insert(out.code.end(), jump.begin(), jump.end());
                break;
            }
            case Kind::Call: {
                // call [rip+2]; jmp +8; the target: the call returns to the jmp.
                const uint8_t call[] = {0xFF, 0x15, 0x02, 0, 0, 0, 0xEB, 0x08};
                out.code.insert(out.code.end(), std::begin(call), std::end(call));
                Append(out.code, oldNext + ins.branch, 8);
                break;
            }
            case Kind::Unsupported:
                return std::nullopt;
        }
        out.covered += ins.length;
        // A function shorter than the jump that would replace it: the bytes
        // after its end may belong to something else.
        if (ins.endsFlow && out.covered < minBytes) return std::nullopt;
    }
    const auto back = AbsoluteJump(from + out.covered);
    out.code.insert(out.code.end(), back.begin(), back.end());
    return out;
}

}  // namespace x64
