#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <vector>

#include "tools/x64_code.h"

using Bytes = std::vector<uint8_t>;

namespace {

std::string Hex(const Bytes& bytes) {
    std::ostringstream out;
    for (uint8_t b : bytes) out << std::hex << (b < 16 ? "0" : "") << int(b) << ' ';
    return out.str();
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes Le(uint64_t value, size_t n) {
    Bytes out;
    for (size_t i = 0; i < n; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    return out;
}

}  // namespace

TEST(X64Decode, LengthsAndKindsOfPrologueInstructions) {
    using K = x64::Kind;
    struct Case {
        const char* what;
        Bytes code;
        K kind;
        size_t length;
        size_t dispOffset = 0;
        bool endsFlow = false;
    } const cases[] = {
        {"push rbp", {0x55}, K::Plain, 1},
        {"push r15", {0x41, 0x57}, K::Plain, 2},
        {"mov rbp,rsp", {0x48, 0x89, 0xE5}, K::Plain, 3},
        {"sub rsp,0x20", {0x48, 0x83, 0xEC, 0x20}, K::Plain, 4},
        {"sub rsp,0x100", {0x48, 0x81, 0xEC, 0, 1, 0, 0}, K::Plain, 7},
        {"mov [rsp+8],rbx", {0x48, 0x89, 0x5C, 0x24, 0x08}, K::Plain, 5},
        {"mov [rsp+0x80],rbx", {0x48, 0x89, 0x9C, 0x24, 0x80, 0, 0, 0}, K::Plain, 8},
        {"mov rax,gs:[0x30]", {0x65, 0x48, 0x8B, 0x04, 0x25, 0x30, 0, 0, 0}, K::Plain, 9},
        {"nop word [rax+rax]", {0x66, 0x0F, 0x1F, 0x44, 0, 0}, K::Plain, 6},
        {"endbr64", {0xF3, 0x0F, 0x1E, 0xFA}, K::Plain, 4},
        {"mov rax,imm64", {0x48, 0xB8, 1, 2, 3, 4, 5, 6, 7, 8}, K::Plain, 10},
        {"mov eax,imm32", {0xB8, 1, 2, 3, 4}, K::Plain, 5},
        {"mov ax,imm16", {0x66, 0xB8, 1, 2}, K::Plain, 4},
        {"test cl,1", {0xF6, 0xC1, 0x01}, K::Plain, 3},
        {"not cl", {0xF6, 0xD1}, K::Plain, 2},
        {"test ecx,imm32", {0xF7, 0xC1, 1, 2, 3, 4}, K::Plain, 6},
        {"pshufb", {0x66, 0x0F, 0x38, 0x00, 0xC1}, K::Plain, 5},
        {"palignr", {0x66, 0x0F, 0x3A, 0x0F, 0xC1, 0x08}, K::Plain, 6},
        {"mov eax,[moffs64]", {0xA1, 1, 2, 3, 4, 5, 6, 7, 8}, K::Plain, 9},
        {"mov eax,[moffs32]", {0x67, 0xA1, 1, 2, 3, 4}, K::Plain, 6},
        {"enter", {0xC8, 0x10, 0x00, 0x01}, K::Plain, 4},
        {"mov rax,[rip+x]", {0x48, 0x8B, 0x05, 1, 2, 3, 4}, K::RipRelative, 7, 3},
        {"mov dword [rip+x],imm32", {0xC7, 0x05, 1, 2, 3, 4, 5, 6, 7, 8}, K::RipRelative, 10, 2},
        {"cmp dword [rip+x],imm8", {0x83, 0x3D, 1, 2, 3, 4, 9}, K::RipRelative, 7, 2},
        {"movups xmm0,[rip+x]", {0x0F, 0x10, 0x05, 1, 2, 3, 4}, K::RipRelative, 7, 3},
        {"jmp [rip+x]", {0xFF, 0x25, 1, 2, 3, 4}, K::RipRelative, 6, 2, true},
        {"jmp rax", {0xFF, 0xE0}, K::Plain, 2, 0, true},
        {"jmp rel32", {0xE9, 1, 2, 3, 4}, K::Jump, 5, 0, true},
        {"jmp rel8", {0xEB, 0x10}, K::Jump, 2, 0, true},
        {"je rel8", {0x74, 0x05}, K::CondJump, 2},
        {"jne rel32", {0x0F, 0x85, 1, 2, 3, 4}, K::CondJump, 6},
        {"call rel32", {0xE8, 1, 2, 3, 4}, K::Call, 5},
        {"ret", {0xC3}, K::Return, 1, 0, true},
        {"ret 8", {0xC2, 0x08, 0x00}, K::Return, 3, 0, true},
        {"loop", {0xE2, 0xFE}, K::Unsupported, 0},
        {"jrcxz", {0xE3, 0x00}, K::Unsupported, 0},
        {"vex", {0xC5, 0xF8, 0x77}, K::Unsupported, 0},
        {"evex", {0x62, 1, 2, 3, 4, 5}, K::Unsupported, 0},
        {"invalid in 64-bit mode", {0x06}, K::Unsupported, 0},
        {"jmp with an operand-size prefix", {0x66, 0xE9, 1, 2}, K::Unsupported, 0},
        {"eip-relative", {0x67, 0x8B, 0x05, 1, 2, 3, 4}, K::Unsupported, 0},
        {"truncated modrm", {0x48, 0x8B}, K::Unsupported, 0},
        {"truncated immediate", {0x48, 0x81, 0xEC, 0}, K::Unsupported, 0},
        {"truncated displacement", {0x48, 0x8B, 0x05, 1}, K::Unsupported, 0},
        {"lone rex", {0x48}, K::Unsupported, 0},
        {"nothing", {}, K::Unsupported, 0},
        {"too many prefixes", {0x66, 0x66, 0x66, 0x66, 0x66, 0x90}, K::Unsupported, 0},
    };
    for (const auto& c : cases) {
        const x64::Instruction ins = x64::Decode(c.code);
        EXPECT_EQ(ins.kind, c.kind) << c.what;
        EXPECT_EQ(ins.length, c.length) << c.what;
        EXPECT_EQ(ins.dispOffset, c.dispOffset) << c.what;
        EXPECT_EQ(ins.endsFlow, c.endsFlow) << c.what;
    }
    EXPECT_EQ(x64::Decode(Bytes{0x74, 0x05}).condition, 4);
    EXPECT_EQ(x64::Decode(Bytes{0x0F, 0x85, 1, 2, 3, 4}).condition, 5);
    EXPECT_EQ(x64::Decode(Bytes{0xEB, 0xFE}).branch, -2);
}

TEST(X64Relocate, MovesWholeInstructionsAndJumpsBack) {
    const uint64_t from = 0x7FF800001000, to = 0x7FF800F00000;
    const auto back = [&](uint64_t covered) { return x64::AbsoluteJump(from + covered); };
    struct Case {
        const char* what;
        Bytes code;
        std::optional<Bytes> moved;  // the relocated code, nothing when refused
        size_t covered = 0;
    } const cases[] = {
        {"one five-byte store", {0x48, 0x89, 0x5C, 0x24, 0x08, 0x57}, Cat({{0x48, 0x89, 0x5C, 0x24, 0x08}, back(5)}), 5},
        {"push, sub", {0x40, 0x53, 0x48, 0x83, 0xEC, 0x20, 0xCC}, Cat({{0x40, 0x53, 0x48, 0x83, 0xEC, 0x20}, back(6)}), 6},
        {"rip-relative load follows its operand",
         {0x48, 0x8B, 0x05, 0x00, 0x01, 0x00, 0x00},
         Cat({{0x48, 0x8B, 0x05}, Le(static_cast<uint32_t>(from + 7 + 0x100 - (to + 7)), 4), back(7)}), 7},
        {"conditional jump becomes a skip over a far jump",
         {0x74, 0x10, 0x48, 0x89, 0xC8},
         Cat({{0x75, 0x0E}, x64::AbsoluteJump(from + 2 + 0x10), {0x48, 0x89, 0xC8}, back(5)}), 5},
        {"call through a pointer after it",
         {0xE8, 0x00, 0x10, 0x00, 0x00},
         Cat({{0xFF, 0x15, 0x02, 0, 0, 0, 0xEB, 0x08}, Le(from + 5 + 0x1000, 8), back(5)}), 5},
        {"a jump put there by another redirection",
         {0xE9, 0xFB, 0xFF, 0xFF, 0xFF},
         Cat({x64::AbsoluteJump(from), back(5)}), 5},
        {"a function that ends on its fifth byte", {0x48, 0x31, 0xC0, 0x90, 0xC3}, Cat({{0x48, 0x31, 0xC0, 0x90, 0xC3}, back(5)}), 5},
        {"too short: ret", {0x31, 0xC0, 0xC3, 0xCC, 0xCC, 0xCC}, std::nullopt},
        {"too short: jmp rax", {0x31, 0xC0, 0xFF, 0xE0, 0xCC, 0xCC}, std::nullopt},
        {"too short: jmp rel8", {0xEB, 0x10, 0xCC, 0xCC, 0xCC}, std::nullopt},
        {"loop in the way", {0x90, 0xE2, 0xFE, 0x90, 0x90, 0x90}, std::nullopt},
        {"unknown opcode", {0x90, 0x06, 0x90, 0x90, 0x90}, std::nullopt},
        {"ends mid-instruction", {0x90, 0x48, 0x8B, 0x05, 0x00}, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto got = x64::RelocatePrologue(c.code, from, to, 5);
        ASSERT_EQ(got.has_value(), c.moved.has_value()) << c.what;
        if (!got) continue;
        EXPECT_EQ(Hex(got->code), Hex(*c.moved)) << c.what;
        EXPECT_EQ(got->covered, c.covered) << c.what;
        EXPECT_LE(got->code.size(), x64::kMaxRelocatedBytes) << c.what;
    }
    // A RIP-relative operand out of reach of the new place is refused, not cut.
    const Bytes load{0x48, 0x8B, 0x05, 0x00, 0x00, 0x00, 0x00};
    EXPECT_FALSE(x64::RelocatePrologue(load, from, from + 0x90000000ull, 5));
    EXPECT_FALSE(x64::RelocatePrologue(load, from, from - 0x90000000ull, 5));
    EXPECT_TRUE(x64::RelocatePrologue(load, from, from + 0x7FF00000ull, 5));
}

TEST(X64Relocate, JumpEncodings) {
    EXPECT_EQ(Hex(x64::AbsoluteJump(0x1122334455667788)), Hex({0xFF, 0x25, 0, 0, 0, 0, 0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11}));
    EXPECT_EQ(Hex(*x64::RelativeJump(0x1000, 0x2000)), Hex({0xE9, 0xFB, 0x0F, 0, 0}));
    EXPECT_EQ(Hex(*x64::RelativeJump(0x2000, 0x1000)), Hex({0xE9, 0xFB, 0xEF, 0xFF, 0xFF}));
    EXPECT_FALSE(x64::RelativeJump(0x1000, 0x1000 + 0x80000005ull));
    EXPECT_TRUE(x64::RelativeJump(0x1000, 0x1000 + 0x80000004ull));
}
