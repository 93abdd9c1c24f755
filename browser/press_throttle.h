#pragma once

#include <cstdint>

// Accepts a press when more than `intervalMs` have passed since the last
// accepted one; the first press is always accepted. Ticks are the system's
// 32-bit millisecond count, so the difference is taken unsigned and stays
// right when the count wraps after 49.7 days.
class CPressThrottle {
public:
    explicit CPressThrottle(uint32_t intervalMs) : m_interval(intervalMs) {}

    bool Accept(uint32_t now) {
        if (m_pressed && static_cast<uint32_t>(now - m_last) <= m_interval) return false;
        m_pressed = true;
        m_last = now;
        return true;
    }

private:
    uint32_t m_interval;
    uint32_t m_last = 0;
    bool m_pressed = false;
};
