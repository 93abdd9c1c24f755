#pragma once

#include <windows.h>

#include "base/code_page.h"

// The code-page seam over MultiByteToWideChar / WideCharToMultiByte.
class CWinCodePage final : public ICodePage {
public:
    // CP_ACP follows the system's ANSI code page at every call.
    explicit CWinCodePage(UINT codePage) : m_codePage(codePage) {}

    std::wstring ToWide(std::string_view bytes) const override;
    bool FromWide(std::wstring_view text, std::string& bytes) const override;

private:
    UINT m_codePage;
};
