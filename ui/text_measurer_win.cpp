#include "ui/text_measurer_win.h"

#include <climits>

CDcTextMeasurer::CDcTextMeasurer(HDC dc, UINT format)
    : m_dc(dc),
      m_format((format & ~(DT_WORDBREAK | DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM | DT_END_ELLIPSIS |
                           DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS | DT_MODIFYSTRING)) |
               DT_SINGLELINE | DT_CALCRECT) {}

int CDcTextMeasurer::TextWidth(std::wstring_view text) const {
    if (text.empty()) return 0;
    RECT rect{0, 0, 0, 0};
    const int count = text.size() > INT_MAX ? INT_MAX : static_cast<int>(text.size());
    if (DrawTextW(m_dc, text.data(), count, &rect, m_format) == 0) return 0;
    return rect.right - rect.left;
}
