// The login text another window hands the main frame in a WM_COPYDATA block:
// its checks, its split into fields and the label's parts the frame shows.
#include "browser/login_text.h"
#include "browser/page_label.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto text = LoginTextFromCopyData(data, size);
    if (!text) return 0;
    fuzz::Require(text->size() <= kLoginTextMaxChars && text->find(L'\0') == std::wstring::npos,
                  "an accepted text is bounded and holds no NUL");
    const LoginTextFields fields = SplitLoginText(*text);
    fuzz::Require(fields.label.size() <= text->size(), "a field is part of the text");
    PageRecordFrom(fields);
    const std::wstring account = AccountOfLabel(fields.label);
    AccountLabelText(account);
    ServerOfLabel(fields.label);
    TabTitleText(fields.label, static_cast<int>(fields.label.size()) * 12);
    return 0;
}
