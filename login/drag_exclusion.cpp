#include "login/drag_exclusion.h"

#include <algorithm>

std::span<const DragExclusion> TheDragExclusions() { return {}; }

bool IsDragExcluded(std::span<const DragExclusion> table, std::wstring_view buildTag, int x, int y) {
    for (const DragExclusion& row : table) {
        if (row.buildTag != buildTag) continue;
        const size_t used = std::min(row.count, row.rects.size());
        for (size_t i = 0; i < used; ++i) {
            const ui::PixelRect& r = row.rects[i];
            if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
        }
        return false;
    }
    return false;
}
