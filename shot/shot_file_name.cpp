#include "shot/shot_file_name.h"

#include <string_view>

#include "base/ascii_case.h"

namespace shot {
namespace {

bool InRange(int value, int low, int high) { return value >= low && value <= high; }

void AppendPadded(std::wstring& out, int value, std::size_t width) {
    std::wstring digits = std::to_wstring(value);
    if (digits.size() < width) out.append(width - digits.size(), L'0');
    out += digits;
}

}  // namespace

std::wstring DefaultShotFileName(const LocalTime& t) {
    std::wstring name = L"截图";
    // Second 60 is a leap second, which the clock may report.
    if (InRange(t.year, 0, 9999) && InRange(t.month, 1, 12) && InRange(t.day, 1, 31) && InRange(t.hour, 0, 23) &&
        InRange(t.minute, 0, 59) && InRange(t.second, 0, 60)) {
        AppendPadded(name, t.year, 4);
        AppendPadded(name, t.month, 2);
        AppendPadded(name, t.day, 2);
        AppendPadded(name, t.hour, 2);
        AppendPadded(name, t.minute, 2);
        AppendPadded(name, t.second, 2);
    }
    return name + L".bmp";
}

std::wstring WithBmpExtension(const std::wstring& name) {
    constexpr std::wstring_view kExtension = L".bmp";
    if (name.size() >= kExtension.size() &&
        EqualsNoCase(std::wstring_view(name).substr(name.size() - kExtension.size()), kExtension))
        return name;
    return name + std::wstring(kExtension);
}

}  // namespace shot
