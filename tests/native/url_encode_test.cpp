#include <gtest/gtest.h>

#include "net/url_encode.h"

namespace {

TEST(UrlEncode, OnlyLettersAndDigitsStay) {
    const struct {
        const wchar_t* text;
        const wchar_t* encoded;
    } cases[] = {
        {L"打开", L"%E6%89%93%E5%BC%80"},
        {L"a-b_c.d~e", L"a%2Db%5Fc%2Ed%7Ee"},
        {L" ", L"%20"},
        {L"AZaz09", L"AZaz09"},
        {L"a+b=c&d", L"a%2Bb%3Dc%26d"},
        {L"", L""},
        {L"\U0001F600", L"%F0%9F%98%80"},
    };
    for (const auto& c : cases) EXPECT_EQ(UrlEncode(c.text, 1024), c.encoded);
}

TEST(UrlEncode, AResultThatDoesNotFitIsEmptyNotCut) {
    // "打开" encodes to 18 characters; with the terminator it needs 19.
    EXPECT_EQ(UrlEncode(L"打开", 19), L"%E6%89%93%E5%BC%80");
    EXPECT_EQ(UrlEncode(L"打开", 18), L"");
    EXPECT_EQ(UrlEncode(L"abc", 0), L"");
    EXPECT_EQ(UrlEncode(L"", 1), L"");
}

TEST(UrlEncode, TheUtf8FormMustFitItsBuffer) {
    const std::wstring fits(2047, L'a');
    EXPECT_EQ(UrlEncode(fits, 4096), fits);
    EXPECT_EQ(UrlEncode(std::wstring(2048, L'a'), 4096), L"");
    // 683 three-byte characters are 2,049 bytes.
    EXPECT_EQ(UrlEncode(std::wstring(683, L'中'), 8192), L"");
    EXPECT_EQ(UrlEncode(std::wstring(682, L'中'), 8192).size(), 682u * 9);
}

}  // namespace
