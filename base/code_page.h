#pragma once

#include <memory>
#include <string>
#include <string_view>

// The seam between byte text in a legacy code page and wide text. The program
// uses the system ANSI code page (or a named one such as 936); the native
// build uses iconv, so the same rules are tested on Linux.
class ICodePage {
public:
    virtual ~ICodePage() = default;

    // Never fails: bytes the code page cannot map become U+FFFD.
    virtual std::wstring ToWide(std::string_view bytes) const = 0;

    // False when some character has no exact form in the code page (no
    // best-fit substitutes, no default character).
    virtual bool FromWide(std::wstring_view text, std::string& bytes) const = 0;
};

// The GBK (code page 936) converter that name slots are written with.
std::unique_ptr<ICodePage> MakeGbkCodePage();

// The converter of a numbered Windows code page (437, 850, 1252, 936...), for
// text another program reads in a code page other than the ANSI one; null
// when the platform has no such code page.
std::unique_ptr<ICodePage> MakeCodePage(unsigned number);
