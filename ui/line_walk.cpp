#include "ui/line_walk.h"

namespace ui {

FontFields StaticFontFields(const FontFields& base, int fontHeight, int fontWeight, int fontWidth,
                            bool underline) {
    FontFields font = base;
    font.height = fontHeight != 0 ? fontHeight : kStaticDefaultFontHeight;
    if (fontWeight != kStaticKeepFontWeight) font.weight = fontWeight;
    if (fontWidth != kStaticKeepFontWidth) font.width = fontWidth;
    if (underline) font.underline = true;
    font.face = kStaticFontFace;
    return font;
}

uint32_t StaticDrawFormat(uint32_t style) {
    uint32_t format = kDtWordBreak;
    const uint32_t type = style & kSsTypeMask;
    if (type == kSsCenter) {
        format = kDtWordBreak | kDtCenter | kDtVCenter;
    } else if (type == kSsRight) {
        format = kDtWordBreak | kDtRight;
    }
    switch (style & kSsEllipsisMask) {
    case kSsEndEllipsis: format |= kDtEndEllipsis; break;
    case kSsPathEllipsis: format |= kDtPathEllipsis | kDtSingleLine; break;
    case kSsWordEllipsis: format |= kDtWordEllipsis; break;
    default: break;
    }
    if (style & kSsCenterImage) format |= kDtSingleLine | kDtVCenter;
    return format;
}

StaticImagePlace PlaceStaticImage(PixelRect client, int windowWidth, int windowHeight, int imageWidth,
                                  int imageHeight, bool imageRight) {
    StaticImagePlace place;
    place.textRect = client;
    if (imageWidth <= 0 || imageHeight <= 0) return place;
    const int64_t x = imageRight ? static_cast<int64_t>(windowWidth) - imageWidth - kStaticImageMargin
                                 : kStaticImageMargin;
    place.imageX = ClampToInt(x);
    place.imageY = ClampToInt((static_cast<int64_t>(windowHeight) - imageHeight) / 2);
    const int64_t clear = static_cast<int64_t>(imageWidth) + kStaticImageGap;
    if (imageRight) {
        place.textRect.right = ClampToInt(client.right - clear);
    } else {
        place.textRect.left = ClampToInt(client.left + clear);
    }
    return place;
}

int StaticNeededHeight(int lineHeight, int lineCount, int lineSpacing) {
    const int64_t more = lineCount > 1 ? lineCount - 1 : 0;
    return ClampToInt(lineHeight + more * (static_cast<int64_t>(lineHeight) + lineSpacing));
}

namespace {

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Length in code units of the character at `at`.
size_t CharLength(std::wstring_view text, size_t at) {
    if (IsHighSurrogate(text[at]) && at + 1 < text.size() && IsLowSurrogate(text[at + 1])) return 2;
    return 1;
}

class LineWriter {
public:
    LineWriter(PixelRect textRect, int lineHeight, int lineSpacing, StaticWalk& walk)
        : m_left(textRect.left), m_right(textRect.right), m_top(textRect.top),
          m_lineHeight(lineHeight), m_step(static_cast<int64_t>(lineHeight) + lineSpacing), m_walk(walk) {}

    // Draws `text` on the current line, then moves to the next one.
    void EndLine(std::wstring& text) {
        Emit(text);
        m_top += m_step;
        ++m_lines;
    }
    void Emit(std::wstring& text) {
        if (text.empty()) return;
        m_walk.lines.push_back(
            {std::move(text), {m_left, ClampToInt(m_top), m_right, ClampToInt(m_top + m_lineHeight)}});
        text.clear();
    }
    int64_t Lines() const { return m_lines; }

private:
    int m_left;
    int m_right;
    int64_t m_top;
    int m_lineHeight;
    int64_t m_step;
    int64_t m_lines = 1;
    StaticWalk& m_walk;
};

}  // namespace

StaticWalk WalkStaticText(std::wstring_view text, PixelRect textRect, int lineHeight, int charWidth,
                          int lineSpacing, const ITextMeasurer& measurer) {
    StaticWalk walk;
    if (textRect.Width() < charWidth) {
        walk.neededHeight = StaticNeededHeight(lineHeight, 1, lineSpacing);
        return walk;
    }
    LineWriter writer(textRect, lineHeight, lineSpacing, walk);
    std::wstring line;
    size_t at = 0;
    while (at < text.size()) {
        const wchar_t c = text[at];
        if (c == L'\r') {
            ++at;
            continue;
        }
        if (c == L'\n') {
            writer.EndLine(line);
            ++at;
            continue;
        }
        const size_t length = CharLength(text, at);
        const size_t before = line.size();
        line.append(text.substr(at, length));
        // A line that already holds something gives the character to the next
        // line; an empty one keeps it however wide it is, or the walk would
        // never get past it.
        if (before > 0 && measurer.TextWidth(line) > textRect.Width()) {
            line.resize(before);
            writer.EndLine(line);
            continue;
        }
        at += length;
    }
    writer.Emit(line);
    walk.lineCount = ClampToInt(writer.Lines());
    walk.neededHeight = StaticNeededHeight(lineHeight, walk.lineCount, lineSpacing);
    return walk;
}

}  // namespace ui
