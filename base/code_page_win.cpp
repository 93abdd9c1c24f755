#include "base/code_page_win.h"

#include <climits>

std::wstring CWinCodePage::ToWide(std::string_view bytes) const {
    if (bytes.empty() || bytes.size() > INT_MAX / 2 - 1) return {};
    const int n = static_cast<int>(bytes.size());
    // Room for 2n + 2 characters, the first n + 1 cleared: character n is the
    // terminator whatever the conversion writes.
    std::wstring buffer(static_cast<size_t>(2 * n + 2), L'\0');
    const int written = MultiByteToWideChar(m_codePage, 0, bytes.data(), n, buffer.data(), 2 * n + 2);
    buffer.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return buffer;
}

bool CWinCodePage::FromWide(std::wstring_view text, std::string& bytes) const {
    bytes.clear();
    if (text.empty()) return true;
    if (text.size() > INT_MAX / 4) return false;
    const int n = static_cast<int>(text.size());
    // UTF-8 and UTF-7 refuse the default-character arguments.
    const bool strictFlags = m_codePage != CP_UTF8 && m_codePage != CP_UTF7;
    BOOL usedDefault = FALSE;
    const DWORD flags = strictFlags ? WC_NO_BEST_FIT_CHARS : WC_ERR_INVALID_CHARS;
    const int size = WideCharToMultiByte(m_codePage, flags, text.data(), n, nullptr, 0, nullptr,
                                         strictFlags ? &usedDefault : nullptr);
    if (size <= 0 || usedDefault) return false;
    bytes.resize(static_cast<size_t>(size));
    usedDefault = FALSE;
    const int written = WideCharToMultiByte(m_codePage, flags, text.data(), n, bytes.data(), size, nullptr,
                                            strictFlags ? &usedDefault : nullptr);
    if (written != size || usedDefault) {
        bytes.clear();
        return false;
    }
    return true;
}

std::unique_ptr<ICodePage> MakeGbkCodePage() { return std::make_unique<CWinCodePage>(936); }

std::unique_ptr<ICodePage> MakeCodePage(unsigned number) {
    if (!IsValidCodePage(number)) return nullptr;
    return std::make_unique<CWinCodePage>(number);
}
