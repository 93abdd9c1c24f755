#include <gtest/gtest.h>

#include <fstream>

#include "net/md5.h"
#include "tests/native/test_files.h"

namespace {

class Md5Test : public testing::Test {
protected:
    std::unique_ptr<ICodePage> m_gbk = MakeGbkCodePage();
};

TEST_F(Md5Test, Rfc1321Vectors) {
    const struct {
        const wchar_t* text;
        const wchar_t* digest;
    } cases[] = {
        {L"", L"d41d8cd98f00b204e9800998ecf8427e"},
        {L"a", L"0cc175b9c0f1b6a831c399e269772661"},
        {L"abc", L"900150983cd24fb0d6963f7d28e17f72"},
        {L"message digest", L"f96b697d7cb7938d525a2f31aaf161d0"},
        {L"abcdefghijklmnopqrstuvwxyz", L"c3fcd3d76192e4007dfb496cca67e13b"},
        {L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", L"d174ab98d277d9f5a5611c2c9f419d9f"},
        {L"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         L"57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& c : cases) EXPECT_EQ(Md5Text(c.text, *m_gbk), c.digest);
}

TEST_F(Md5Test, TextIsDigestedInTheAnsiCodePage) {
    // printf '\xd6\xd0' | md5sum  (中 in GBK)
    EXPECT_EQ(Md5Text(L"中", *m_gbk), L"5301da37e5ffca1823a5cef67488d4bf");
}

TEST_F(Md5Test, SplitUpdatesEqualOneUpdate) {
    std::string data;
    for (int i = 0; i < 1000; ++i) data += static_cast<char>(i * 7);
    CMd5 whole;
    whole.Update(data.data(), data.size());
    const auto expected = whole.Final();
    for (size_t step : {1u, 3u, 55u, 56u, 63u, 64u, 65u, 999u}) {
        CMd5 parts;
        for (size_t at = 0; at < data.size(); at += step) parts.Update(data.data() + at, std::min(step, data.size() - at));
        EXPECT_EQ(parts.Final(), expected) << step;
    }
}

TEST_F(Md5Test, FileOfManyChunks) {
    CTempDir dir;
    {
        std::ofstream out(dir / "million", std::ios::binary);
        out << std::string(1000000, 'a');
    }
    // RFC 1321's million "a": several reads, the last one short.
    EXPECT_EQ(Md5File(dir / "million"), std::optional<std::wstring>(L"7707d6ae4e027c70eea2a935c2296f21"));
    {
        std::ofstream out(dir / "empty", std::ios::binary);
    }
    EXPECT_EQ(Md5File(dir / "empty"), std::optional<std::wstring>(L"d41d8cd98f00b204e9800998ecf8427e"));
    EXPECT_FALSE(Md5File(dir / "missing").has_value());
}

}  // namespace
