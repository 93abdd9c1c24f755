#include "ui/box_placement_win.h"

#include <optional>

#include "ui/box_placement.h"

namespace {

ui::PixelRect ToPixelRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

std::optional<ui::PixelRect> SeenRect(HWND window) {
    RECT r{};
    if (window == nullptr || !::IsWindowVisible(window) || ::IsIconic(window) || !::GetWindowRect(window, &r))
        return std::nullopt;
    const ui::PixelRect rect = ToPixelRect(r);
    if (rect.Width() < ui::kBoxMinOwnerSide || rect.Height() < ui::kBoxMinOwnerSide) return std::nullopt;
    return rect;
}

// Owner chains are short (page, login window, frame); the bound only keeps
// a chain that loops from hanging the caller.
constexpr int kMaxOwnerDepth = 16;

bool OwnedByTopmost(HWND owner) {
    for (int depth = 0; owner != nullptr && depth < kMaxOwnerDepth; ++depth) {
        if ((::GetWindowLongW(owner, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0) return true;
        owner = ::GetWindow(owner, GW_OWNER);
    }
    return false;
}

}  // namespace

HWND MessageBoxOwner(HWND preferred) {
    HWND window = preferred;
    for (int depth = 0; window != nullptr && depth < kMaxOwnerDepth; ++depth) {
        if (SeenRect(window)) return window;
        window = ::GetWindow(window, GW_OWNER);
    }
    return preferred;
}

void PlaceMessageBox(HWND box, HWND owner) {
    RECT rect{};
    if (box == nullptr || !::GetWindowRect(box, &rect)) return;
    const HMONITOR monitor = owner != nullptr ? ::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST)
                                              : ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!::GetMonitorInfoW(monitor, &info)) ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0);
    const ui::PixelRect placed =
        ui::BoxPlacement(rect.right - rect.left, rect.bottom - rect.top, SeenRect(owner), ToPixelRect(info.rcWork));
    const bool topmost = OwnedByTopmost(owner);
    ::SetWindowPos(box, topmost ? HWND_TOPMOST : nullptr, placed.left, placed.top, 0, 0,
                   SWP_NOSIZE | SWP_NOACTIVATE | (topmost ? 0 : SWP_NOZORDER));
}
