#include <gtest/gtest.h>

#include "relabel/block_edit.h"

namespace {

struct BadValue {
    const char* slot;
    std::string value;
    const char* reasonPart;
};

class BlockEditTest : public testing::Test {
protected:
    std::string Show(const char* name) const { return relabel::FormatSlot(m_block, *ctrl::FindSlot(name), *m_gbk); }

    std::unique_ptr<ICodePage> m_gbk = MakeGbkCodePage();
    relabel::Block m_block{};
};

}  // namespace

TEST_F(BlockEditTest, ValuesRoundTripThroughTheirCodecs) {
    const struct {
        const char* slot;
        std::string value;
        std::string shown;
    } cases[] = {
        {"DisplayName", "梦幻大陆 Online", "梦幻大陆 Online"},
        {"TitleName", "", ""},
        {"Cid", "123", "123"},
        {"Oid2", "", ""},
        {"LoginPageUrl", "http://h/a?b=1&", "http://h/a?b=1&"},
        {"BuildFlags", "0x14e", "0x14E"},
        {"BuildFlags", "334", "0x14E"},
        {"BuildFlags", "4294967295", "0xFFFFFFFF"},
        {"ExeName", std::string(255, 'e'), std::string(255, 'e')},
        {"DisplayName", std::string(127, 'a') + "中", std::string(127, 'a') + "中"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(relabel::SetSlot(m_block, c.slot, c.value, *m_gbk), "") << c.slot << "=" << c.value;
        EXPECT_EQ(Show(c.slot), c.shown) << c.slot << "=" << c.value;
    }
}

TEST_F(BlockEditTest, ShorterValueClearsTheRestOfTheSlot) {
    ASSERT_EQ(relabel::SetSlot(m_block, "GameCode", std::string(200, 'g'), *m_gbk), "");
    ASSERT_EQ(relabel::SetSlot(m_block, "GameCode", "doln", *m_gbk), "");
    const size_t at = ctrl::Offset(ctrl::Slot::GameCode);
    for (size_t i = 4; i < ctrl::kSlotSize; ++i) ASSERT_EQ(m_block[at + i], 0) << i;
}

TEST_F(BlockEditTest, BadValuesAreRefusedAndLeaveTheBlockAlone) {
    const BadValue cases[] = {
        {"NoSuchSlot", "1", "unknown slot"},
        {"displayname", "x", "unknown slot"},
        {"ClientVersion", std::string(256, 'v'), "at most 255"},
        // 128 Han characters are 256 GBK bytes.
        {"DisplayName", [] { std::string s; for (int i = 0; i < 128; ++i) s += "中"; return s; }(), "at most 255"},
        {"DisplayName", "\xF0\x9F\x8E\xAE", "GBK"},
        {"TitleName", "\xC3\x28", "UTF-8"},
        {"TitleName", "a\tb", "control"},
        {"TitleName", "a\xC2\x99", "control"},
        {"GameCode", "dö", "ASCII"},
        {"GameCode", "a\x01", "ASCII"},
        {"Agid", "12a", "digits"}, {"Cid", "12a", "digits"}, {"Aid", "-1", "digits"},
        {"Oid", " 1", "digits"},   {"Oid1", "1.0", "digits"}, {"Oid2", "x", "digits"},
        {"BuildFlags", "", "32-bit"}, {"BuildFlags", "0x", "32-bit"}, {"BuildFlags", "0x1G", "32-bit"},
        {"UpdateKey", "MFkwEwYH KoZI", "base64"}, {"UpdateKey", "MFkwEwYHKoZIzj0CAQ", "base64"},
        {"BuildFlags", "4294967296", "32-bit"}, {"BuildFlags", "0x100000000", "32-bit"}, {"BuildFlags", "-1", "32-bit"},
    };
    ASSERT_EQ(relabel::SetSlot(m_block, "Cid", "3000", *m_gbk), "");
    const relabel::Block before = m_block;
    for (const auto& c : cases) {
        const std::string reason = relabel::SetSlot(m_block, c.slot, c.value, *m_gbk);
        EXPECT_NE(reason.find(c.reasonPart), std::string::npos) << c.slot << ": " << reason;
        EXPECT_EQ(reason.find('\n'), std::string::npos);
        EXPECT_TRUE(m_block == before) << c.slot;
    }
}

TEST_F(BlockEditTest, ProfileIsAllOrNothingAndNamesTheLine) {
    const std::string good = "\xEF\xBB\xBF# comment\r\nCid=7\r\n\r\nDisplayName=中文\nTitleName=a=b\n";
    ASSERT_EQ(relabel::ApplyProfile(m_block, good, *m_gbk), "");
    EXPECT_EQ(Show("Cid"), "7");
    EXPECT_EQ(Show("DisplayName"), "中文");
    EXPECT_EQ(Show("TitleName"), "a=b");

    const relabel::Block before = m_block;
    EXPECT_EQ(relabel::ApplyProfile(m_block, "Cid=9\nAid=x\n", *m_gbk).rfind("line 2: Aid", 0), 0u);
    EXPECT_EQ(relabel::ApplyProfile(m_block, "Cid=9\njunk\n", *m_gbk), "line 2: expected Slot=value");
    EXPECT_TRUE(m_block == before);
}

TEST_F(BlockEditTest, ShowEscapesBytesThatAreNotPrintableAscii) {
    const size_t at = ctrl::Offset(ctrl::Slot::GameCode);
    m_block[at] = 'a';
    m_block[at + 1] = 0xC3;
    m_block[at + 2] = '\n';
    EXPECT_EQ(Show("GameCode"), "a\\xC3\\x0A");
    // Invalid GBK in a name slot is shown as U+FFFD, still valid UTF-8.
    m_block[ctrl::Offset(ctrl::Slot::DisplayName)] = 0xFF;
    EXPECT_EQ(Show("DisplayName"), "\xEF\xBF\xBD");
}
