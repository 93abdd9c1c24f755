#include "ui/msgbox_paint_win.h"

#include <climits>

#include "fw/handles_win.h"

namespace {

int DrawCount(std::wstring_view text) { return text.size() > INT_MAX ? INT_MAX : static_cast<int>(text.size()); }

}  // namespace

SIZE MeasureMsgBoxText(HDC dc, HFONT font, std::wstring_view text) {
    const fw::ScopedSelectObject selectFont(dc, font);
    RECT rect{0, 0, 0, 0};
    DrawTextW(dc, text.data(), DrawCount(text), &rect, DT_CALCRECT);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

ui::MsgBoxSize MsgBoxWindowSizeFor(HWND box, HFONT font, std::wstring_view text, SIZE strip) {
    const fw::ScopedGetDc dc(box);
    if (dc.Get() == nullptr) return {};
    const SIZE measured = MeasureMsgBoxText(dc.Get(), font, text);
    return ui::MsgBoxWindowSize(measured.cx, measured.cy, ui::MsgBoxLineCount(text), strip.cx, strip.cy);
}

std::vector<ui::MsgBoxTextLine> DrawMsgBoxText(HDC dc, HFONT font, std::wstring_view text, int clientWidth) {
    const SIZE measured = MeasureMsgBoxText(dc, font, text);
    const fw::ScopedSelectObject selectFont(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ui::kMsgBoxTextColour);
    auto lines = ui::MsgBoxTextLines(text, clientWidth, measured.cx, measured.cy);
    for (const auto& line : lines) {
        RECT rect{line.rect.left, line.rect.top, line.rect.right, line.rect.bottom};
        DrawTextW(dc, line.text.data(), DrawCount(line.text), &rect, 0);
    }
    return lines;
}

void PaintMsgBoxText(HWND box, HFONT font, std::wstring_view text) {
    const fw::ScopedGetDc dc(box);
    if (dc.Get() == nullptr) return;
    RECT client{};
    GetClientRect(box, &client);
    DrawMsgBoxText(dc.Get(), font, text, client.right - client.left);
}
