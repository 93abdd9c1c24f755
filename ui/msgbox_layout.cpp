#include "ui/msgbox_layout.h"

#include <algorithm>

namespace ui {

namespace {

int64_t NonNegative(int value) { return std::max(value, 0); }

PixelRect ButtonRect(int64_t left, int64_t width, int clientHeight, int stripHeight) {
    const int64_t bottom = static_cast<int64_t>(clientHeight) - kMsgBoxButtonBottom;
    return {ClampToInt(left), ClampToInt(bottom - NonNegative(stripHeight)), ClampToInt(left + width),
            ClampToInt(bottom)};
}

}  // namespace

int MsgBoxLineCount(std::wstring_view text) {
    const auto feeds = std::count(text.begin(), text.end(), L'\n');
    return ClampToInt(1 + static_cast<int64_t>(feeds));
}

MsgBoxSize MsgBoxWindowSize(int textWidth, int textHeight, int lineCount, int stripWidth,
                            int stripHeight) {
    const int64_t w = NonNegative(textWidth);
    const int64_t pair = 2 * (NonNegative(stripWidth) / 4) + kMsgBoxSideMargin;
    const int64_t width = pair < w ? w + kMsgBoxSideMargin : pair;
    const int64_t height = 3 * static_cast<int64_t>(std::max(lineCount, 1)) + NonNegative(textHeight) +
                           NonNegative(stripHeight) + kMsgBoxHeightExtra;
    return {ClampToInt(width), ClampToInt(height)};
}

std::vector<MsgBoxButton> MsgBoxButtons(int style, int clientWidth, int clientHeight, int stripWidth,
                                        int stripHeight) {
    const int64_t bw = NonNegative(stripWidth) / 4;
    if (style == kMsgBoxYesNo || style == kMsgBoxOkCancel) {
        const bool yesNo = style == kMsgBoxYesNo;
        const int64_t half = clientWidth / 2;
        return {
            {kMsgBoxFirstButtonId, yesNo ? kMsgBoxLabelYes : kMsgBoxLabelOk,
             ButtonRect(half - kMsgBoxButtonHalfGap - bw, bw, clientHeight, stripHeight)},
            {kMsgBoxSecondButtonId, yesNo ? kMsgBoxLabelNo : kMsgBoxLabelCancel,
             ButtonRect(half + kMsgBoxButtonHalfGap, bw, clientHeight, stripHeight)},
        };
    }
    const int64_t left = (static_cast<int64_t>(clientWidth) - bw) / 2;
    return {{kMsgBoxFirstButtonId, kMsgBoxLabelOk, ButtonRect(left, bw, clientHeight, stripHeight)}};
}

std::vector<MsgBoxTextLine> MsgBoxTextLines(std::wstring_view text, int clientWidth, int textWidth,
                                            int textHeight) {
    const int lineCount = MsgBoxLineCount(text);
    const int64_t lh = NonNegative(textHeight) / lineCount;
    const int64_t left = (static_cast<int64_t>(clientWidth) - NonNegative(textWidth)) / 2;
    const int64_t right = left + NonNegative(textWidth);

    std::vector<MsgBoxTextLine> lines;
    lines.reserve(static_cast<size_t>(lineCount));
    int64_t top = kMsgBoxTextTop;
    size_t start = 0;
    for (;;) {
        const size_t feed = text.find(L'\n', start);
        std::wstring_view piece = text.substr(start, feed == std::wstring_view::npos ? text.npos : feed - start);
        if (!piece.empty() && piece.back() == L'\r') piece.remove_suffix(1);
        lines.push_back({piece, {ClampToInt(left), ClampToInt(top), ClampToInt(right), ClampToInt(top + lh)}});
        if (feed == std::wstring_view::npos) break;
        start = feed + 1;
        top += lh + kMsgBoxLineGap;
    }
    return lines;
}

int MsgBoxCommandResult(int style, int commandId) {
    const bool yesNo = style == kMsgBoxYesNo;
    if (commandId == kMsgBoxFirstButtonId) return yesNo ? kMsgBoxIdYes : kMsgBoxIdOk;
    if (commandId == kMsgBoxSecondButtonId) return yesNo ? kMsgBoxIdNo : kMsgBoxIdCancel;
    return 0;
}

}  // namespace ui
