// The portal's desktop-icon description: the cut of the JSON object out of
// the answer and its parse.
#include "app/icon_info.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text = fuzz::Bytes(data, size);
    const auto cut = CutJsonObject(text);
    if (!cut) return 0;
    fuzz::Require(cut->size() >= 2 && cut->front() == '{' && cut->back() == '}', "the cut is one braced object");
    const auto info = ParseIconInfo(*cut);
    if (!info) return 0;
    fuzz::Require(!info->name.empty() && info->name.size() <= icon_info::kNameMax, "the name fits its setting");
    fuzz::Require(!info->url.empty() && info->url.size() <= icon_info::kUrlMax, "the address fits, never cut");
    fuzz::Require(info->time.size() <= icon_info::kTimeMax, "the time fits its setting");
    return 0;
}
