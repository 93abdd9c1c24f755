#pragma once

// CImageList: an owned common-controls image list.

#include <windows.h>

#include <commctrl.h>

class CImageList {
public:
    CImageList() = default;
    ~CImageList() { DeleteImageList(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
    // Adds the frames of `bitmap`, `mask` being the transparent colour. The
    // bitmap is left unchanged: the list masks a copy, since the system turns
    // the masked pixels of the bitmap it is given black.
    int Add(HBITMAP bitmap, COLORREF mask);
    BOOL Draw(HDC dc, int index, int x, int y, UINT style) const;
    int GetImageCount() const;
    BOOL GetIconSize(int* cx, int* cy) const;
    void DeleteImageList();
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }

private:
    HIMAGELIST m_hImageList = nullptr;
};
