#include "tools/code_hook_win.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "tools/x64_code.h"

namespace {

constexpr size_t kJumpBytes = 5;
constexpr size_t kBlockBytes = 256;      // the relay, then the trampoline
constexpr size_t kTrampolineOffset = 16;  // after the 14-byte relay
static_assert(kTrampolineOffset + x64::kMaxRelocatedBytes <= kBlockBytes);
// Within reach of a rel32 jump from the target, with room for the jump itself
// and the block's own length.
constexpr uint64_t kReach = 0x7FF00000;
// Each step passes one whole region of the address space; this bounds the
// walk should the system report something odd.
constexpr int kMaxRegions = 100000;

void* TryAllocate(uint64_t at) {
    return VirtualAlloc(reinterpret_cast<void*>(at), kBlockBytes, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE);
}

// Executable memory within reach of a rel32 jump from `target`: first above
// it, then below.
uint8_t* AllocateNear(const uint8_t* target) {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    const uint64_t granularity = info.dwAllocationGranularity;
    const uint64_t t = reinterpret_cast<uint64_t>(target);
    const uint64_t lowest = std::max<uint64_t>(reinterpret_cast<uint64_t>(info.lpMinimumApplicationAddress),
                                               t > kReach ? t - kReach : 0);
    const uint64_t highest = std::min<uint64_t>(reinterpret_cast<uint64_t>(info.lpMaximumApplicationAddress),
                                                t + kReach);
    MEMORY_BASIC_INFORMATION region{};
    uint64_t at = t;
    for (int i = 0; i < kMaxRegions && at < highest; ++i) {
        if (VirtualQuery(reinterpret_cast<void*>(at), &region, sizeof(region)) == 0) break;
        const uint64_t base = reinterpret_cast<uint64_t>(region.BaseAddress);
        const uint64_t end = base + region.RegionSize;
        if (region.State == MEM_FREE) {
            const uint64_t candidate = (std::max(at, base) + granularity - 1) / granularity * granularity;
            if (candidate + kBlockBytes <= std::min(end, highest)) {
                if (void* block = TryAllocate(candidate)) return static_cast<uint8_t*>(block);
            }
        }
        if (end <= at) break;
        at = end;
    }
    at = t;
    for (int i = 0; i < kMaxRegions && at > lowest; ++i) {
        if (VirtualQuery(reinterpret_cast<void*>(at - 1), &region, sizeof(region)) == 0) break;
        const uint64_t base = reinterpret_cast<uint64_t>(region.BaseAddress);
        const uint64_t end = std::min(base + region.RegionSize, at);
        if (region.State == MEM_FREE && end >= kBlockBytes) {
            const uint64_t candidate = (end - kBlockBytes) / granularity * granularity;
            if (candidate >= base && candidate >= lowest) {
                if (void* block = TryAllocate(candidate)) return static_cast<uint8_t*>(block);
            }
        }
        if (base >= at) break;
        at = base;
    }
    return nullptr;
}

// How many bytes from `at` may be read: up to `wanted`, within committed,
// readable memory.
size_t ReadableBytes(const uint8_t* at, size_t wanted) {
    MEMORY_BASIC_INFORMATION region{};
    if (VirtualQuery(at, &region, sizeof(region)) == 0 || region.State != MEM_COMMIT) return 0;
    if ((region.Protect & (PAGE_GUARD | PAGE_NOACCESS)) != 0) return 0;
    const uint64_t end = reinterpret_cast<uint64_t>(region.BaseAddress) + region.RegionSize;
    return static_cast<size_t>(std::min<uint64_t>(wanted, end - reinterpret_cast<uint64_t>(at)));
}

// Writes a few bytes of code. Inside one aligned 8-byte word the write is a
// single store, so that a thread running the function sees either the old
// instruction or the new jump, never half of each.
bool WriteCode(uint8_t* at, const uint8_t* bytes, size_t count) {
    DWORD oldProtect = 0;
    if (!VirtualProtect(at, count, PAGE_EXECUTE_READWRITE, &oldProtect)) return false;
    const uintptr_t address = reinterpret_cast<uintptr_t>(at);
    const uintptr_t word = address & ~uintptr_t{7};
    if (address + count <= word + 8) {
        auto* target = reinterpret_cast<volatile LONG64*>(word);
        LONG64 value = *target;
        std::memcpy(reinterpret_cast<uint8_t*>(&value) + (address - word), bytes, count);
        InterlockedExchange64(target, value);
    } else {
        std::memcpy(at, bytes, count);
    }
    DWORD ignored = 0;
    VirtualProtect(at, count, oldProtect, &ignored);
    FlushInstructionCache(GetCurrentProcess(), at, count);
    return true;
}

}  // namespace

bool CCodeHook::Attach(void* target, const void* replacement, void** original) {
    if (m_target != nullptr || target == nullptr || replacement == nullptr || original == nullptr) return false;
    auto* code = static_cast<uint8_t*>(target);
    const size_t readable = ReadableBytes(code, 32);
    if (readable < kJumpBytes) return false;
    const std::vector<uint8_t> prologue(code, code + readable);

    uint8_t* block = AllocateNear(code);
    if (block == nullptr) return false;
    const uint64_t trampoline = reinterpret_cast<uint64_t>(block) + kTrampolineOffset;
    const auto moved = x64::RelocatePrologue(prologue, reinterpret_cast<uint64_t>(code), trampoline, kJumpBytes);
    const auto jump = x64::RelativeJump(reinterpret_cast<uint64_t>(code), reinterpret_cast<uint64_t>(block));
    if (!moved || !jump) {
        VirtualFree(block, 0, MEM_RELEASE);
        return false;
    }
    const auto relay = x64::AbsoluteJump(reinterpret_cast<uint64_t>(replacement));
    std::memcpy(block, relay.data(), relay.size());
    std::memcpy(block + kTrampolineOffset, moved->code.data(), moved->code.size());
    FlushInstructionCache(GetCurrentProcess(), block, kBlockBytes);

    *original = reinterpret_cast<void*>(trampoline);
    std::memcpy(m_saved, code, kJumpBytes);
    std::memcpy(m_jump, jump->data(), kJumpBytes);
    if (!WriteCode(code, m_jump, kJumpBytes)) {
        *original = nullptr;
        VirtualFree(block, 0, MEM_RELEASE);
        return false;
    }
    m_target = code;
    return true;
}

bool CCodeHook::Detach() {
    if (m_target == nullptr || std::memcmp(m_target, m_jump, kJumpBytes) != 0) return false;
    if (!WriteCode(m_target, m_saved, kJumpBytes)) return false;
    m_target = nullptr;
    return true;
}
