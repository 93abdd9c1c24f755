#include "browser/page_label.h"

namespace {

// A cut never separates the halves of a UTF-16 surrogate pair.
std::wstring Cut(std::wstring_view text, size_t keep) {
    if (keep > 0 && keep < text.size()) {
        const wchar_t last = text[keep - 1];
        if (last >= 0xD800 && last <= 0xDBFF) --keep;
    }
    return std::wstring(text.substr(0, keep)) + L"...";
}

}  // namespace

std::wstring AccountOfLabel(std::wstring_view label) {
    const size_t dash = label.rfind(L'-');
    return std::wstring(dash == std::wstring_view::npos ? label : label.substr(dash + 1));
}

std::wstring ServerOfLabel(std::wstring_view label) {
    const size_t mark = label.find(L"服-");
    return mark == std::wstring_view::npos ? std::wstring() : std::wstring(label.substr(0, mark));
}

std::wstring AccountLabelText(std::wstring_view account) {
    return account.size() > 11 ? Cut(account, 8) : std::wstring(account);
}

std::wstring TabTitleText(std::wstring_view title, int measuredWidth) {
    return measuredWidth > kTabTitleMaxWidth ? Cut(title, 14) : std::wstring(title);
}
