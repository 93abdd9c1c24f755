#pragma once

// Off-screen painting for windows that paint everything on erase and copy
// it in one step. Two costs matter once such a window is screen-sized:
// - a control that looks transparent asks its parent to paint its
//   background into the control's small DC; painting the whole parent
//   off-screen for it costs a full-window paint per control;
// - a new screen-sized bitmap per paint is memory the system must hand out
//   and clear again every time.
// So a canvas covers only what the target DC can show (its clip box), and a
// window may keep one bitmap for all its paints.

#include <windows.h>

#include "fw/handles_win.h"

namespace fw {

// A bitmap and memory DC kept between paints. It only grows, to the largest
// size asked of it, so that a window's own repaints never allocate again.
class CanvasStore {
public:
    CanvasStore() = default;
    CanvasStore(const CanvasStore&) = delete;
    CanvasStore& operator=(const CanvasStore&) = delete;
    ~CanvasStore();

    // A DC with a bitmap of at least width x height selected, or null when
    // none can be made or the store is already lent out (a paint within a
    // paint); Release gives it back.
    HDC Acquire(int width, int height);
    void Release();

private:
    void Free();

    ScopedCreatedDc m_dc;
    ScopedBitmap m_bitmap;
    HGDIOBJ m_oldBitmap = nullptr;
    int m_width = 0;
    int m_height = 0;
    bool m_lent = false;
};

// The part of an extent of width x height from 0, 0 (logical coordinates of
// `target`) that `target` can show: its clip box within the extent; empty
// when nothing of it shows.
RECT VisibleArea(HDC target, int width, int height);

// The part of an extent of width x height (logical coordinates of `target`,
// from 0, 0) that `target` can show, to be painted off-screen: Dc() takes the
// same logical coordinates as the target, and CopyTo puts the part in place.
// Drawn from `store` when it is free, else from a bitmap of its own.
class ClippedCanvas {
public:
    ClippedCanvas(HDC target, int width, int height, CanvasStore* store = nullptr);
    ~ClippedCanvas();
    ClippedCanvas(const ClippedCanvas&) = delete;
    ClippedCanvas& operator=(const ClippedCanvas&) = delete;

    HDC Dc() const { return m_dc; }
    // Nothing of the extent can show: there is nothing to paint.
    bool IsEmpty() const { return m_area.right <= m_area.left || m_area.bottom <= m_area.top; }
    bool IsValid() const { return IsEmpty() || m_dc != nullptr; }
    const RECT& Area() const { return m_area; }
    void CopyTo(HDC target) const;

private:
    RECT m_area{};
    CanvasStore* m_store = nullptr;  // set while the store's DC is ours
    HDC m_dc = nullptr;
    POINT m_oldOrigin{};
    ScopedCreatedDc m_ownDc;
    ScopedBitmap m_ownBitmap;
    HGDIOBJ m_ownOld = nullptr;
};

}  // namespace fw
