#pragma once

#include <windows.h>

#include "ui/text_measurer.h"

// Measures text with DrawTextW in the font currently selected into a DC.
// `format` is the format the text will be drawn with: its prefix and tab
// handling are kept, while wrapping, alignment and ellipses are dropped, since
// the width of one unwrapped line is what callers ask for.
class CDcTextMeasurer : public ui::ITextMeasurer {
public:
    CDcTextMeasurer(HDC dc, UINT format);
    int TextWidth(std::wstring_view text) const override;

private:
    HDC m_dc;
    UINT m_format;
};
