#pragma once

#include <string_view>

namespace ui {

// The seam between text layout and the font that draws it: the Windows layer
// measures with the device context and font it is about to draw with; tests
// use fixed widths per character.
class ITextMeasurer {
public:
    virtual ~ITextMeasurer() = default;

    // Width in pixels of `text` drawn on a single line (no wrapping) in the
    // font that will draw it. An empty text is 0 wide.
    virtual int TextWidth(std::wstring_view text) const = 0;
};

}  // namespace ui
