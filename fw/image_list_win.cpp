#include "fw/image_list_win.h"

#include "fw/handles_win.h"

BOOL CImageList::Create(int cx, int cy, UINT flags, int initial, int grow) {
    DeleteImageList();
    m_hImageList = ImageList_Create(cx, cy, flags, initial, grow);
    return m_hImageList != nullptr;
}

int CImageList::Add(HBITMAP bitmap, COLORREF mask) {
    if (m_hImageList == nullptr || bitmap == nullptr) return -1;
    fw::ScopedBitmap copy(static_cast<HBITMAP>(CopyImage(bitmap, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!copy) return -1;
    return ImageList_AddMasked(m_hImageList, copy.Get(), mask);
}

BOOL CImageList::Draw(HDC dc, int index, int x, int y, UINT style) const {
    return m_hImageList != nullptr && ImageList_Draw(m_hImageList, index, dc, x, y, style);
}

int CImageList::GetImageCount() const { return m_hImageList ? ImageList_GetImageCount(m_hImageList) : 0; }

BOOL CImageList::GetIconSize(int* cx, int* cy) const {
    return m_hImageList != nullptr && ImageList_GetIconSize(m_hImageList, cx, cy);
}

void CImageList::DeleteImageList() {
    if (m_hImageList != nullptr) ImageList_Destroy(m_hImageList);
    m_hImageList = nullptr;
}
