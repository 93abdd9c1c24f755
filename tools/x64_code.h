#pragma once

// Just enough of the x86-64 instruction set to move the first instructions
// of a function somewhere else: their lengths, and the operands that are
// relative to where they stand (RIP-relative memory, relative branches).
// Redirecting a function in place (code_hook_win.h) overwrites its first
// five bytes with a jump; the instructions those bytes held run from a
// trampoline instead, rewritten here for their new address.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace x64 {

enum class Kind {
    Plain,        // runs the same anywhere
    RipRelative,  // a memory operand addressed from the next instruction
    Jump,         // jmp rel8 / rel32
    CondJump,     // jcc rel8 / rel32
    Call,         // call rel32
    Return,       // ret, ret imm16
    Unsupported,  // not decoded, or relative in a way that cannot be moved (loop, jrcxz)
};

struct Instruction {
    Kind kind = Kind::Unsupported;
    size_t length = 0;
    size_t dispOffset = 0;  // RipRelative: where its 32-bit displacement starts
    int64_t branch = 0;     // Jump, CondJump, Call: displacement from the next instruction
    int condition = 0;      // CondJump: the condition code, 0 to 15
    bool endsFlow = false;  // ret or an unconditional jump: what follows may not be this function
};

// Decodes the instruction at the start of `code`; Unsupported with length 0
// when it is not understood or runs past the end of `code`.
Instruction Decode(std::span<const uint8_t> code);

// `jmp qword ptr [rip+0]` followed by the target: 14 bytes, reaching anywhere.
std::vector<uint8_t> AbsoluteJump(uint64_t target);
// `jmp rel32` from `from` to `to`, when they are within reach of each other.
std::optional<std::vector<uint8_t>> RelativeJump(uint64_t from, uint64_t to);

struct Relocated {
    std::vector<uint8_t> code;  // the moved instructions and the jump back
    size_t covered = 0;         // how many bytes of the original they replace
};

// Moves whole instructions from the start of `code` (which stands at address
// `from`) until at least `minBytes` are covered, rewritten to run at address
// `to`, followed by a jump back to `from` + covered. Nothing when an
// instruction is not understood, cannot be moved, the function ends before
// `minBytes`, or a RIP-relative operand would be out of reach from `to`.
std::optional<Relocated> RelocatePrologue(std::span<const uint8_t> code, uint64_t from, uint64_t to, size_t minBytes);

// The most bytes RelocatePrologue can write for `minBytes` of 5: every moved
// instruction grows to at most 16 bytes, plus the jump back.
inline constexpr size_t kMaxRelocatedBytes = 5 * 16 + 14;

}  // namespace x64
