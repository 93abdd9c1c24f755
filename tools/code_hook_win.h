#pragma once

// Redirects a function of this process to a replacement, in place: its
// first five bytes become a jump to a small relay near it, so that every
// caller is caught, also one that took the address with GetProcAddress or a
// module loaded later. The replacement reaches the original function through
// a trampoline: the moved first instructions (rewritten for their new place,
// tools/x64_code.h) and a jump back behind the patched bytes.

#include <cstddef>
#include <cstdint>

class CCodeHook {
public:
    CCodeHook() = default;
    // Leaves an attached redirection in place: other threads may be running
    // through it, and only Detach decides that they may not.
    ~CCodeHook() = default;
    CCodeHook(const CCodeHook&) = delete;
    CCodeHook& operator=(const CCodeHook&) = delete;

    // Redirects `target` to `replacement`. `*original` receives the way to
    // the original function before the first caller can be redirected.
    // False, with the function untouched, when its first instructions cannot
    // be moved or no memory is free within reach of it.
    bool Attach(void* target, const void* replacement, void** original);
    // Puts the original bytes back. False (and nothing written) when not
    // attached or when the jump was overwritten since: restoring would break
    // whoever redirected it on top. The trampoline stays, for threads still
    // inside it.
    bool Detach();
    bool IsAttached() const { return m_target != nullptr; }

private:
    uint8_t* m_target = nullptr;
    uint8_t m_saved[5] = {};
    uint8_t m_jump[5] = {};
};
