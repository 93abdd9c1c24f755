#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "app/ctrl_block.h"
#include "relabel/block_edit.h"
#include "tests/native/test_files.h"

namespace {

class CtrlBlockTest : public testing::Test {
protected:
    void SetUp() override {
        const std::string profile = ReadText(std::string(CORVANE_SOURCE_DIR) + "/res/builds/reference.build");
        ASSERT_EQ(relabel::ApplyProfile(m_block, profile, *m_gbk), "");
    }
    CCtrlBlock View() const { return CCtrlBlock(m_block, *m_gbk); }

    std::unique_ptr<ICodePage> m_gbk = MakeGbkCodePage();
    relabel::Block m_block{};
};

}  // namespace

TEST(CtrlLayout, SlotsAreOrderedAlignedAndInsideTheBlock) {
    std::set<size_t> offsets;
    for (const auto& slot : ctrl::AllSlots()) {
        const size_t at = ctrl::Offset(slot.slot);
        EXPECT_EQ(at % ctrl::kSlotSize, 0u) << slot.name;
        EXPECT_LT(at, ctrl::kBlockSize) << slot.name;
        if (!offsets.empty()) {
            EXPECT_GT(at, *offsets.rbegin()) << slot.name << " is out of offset order";
        }
        offsets.insert(at);
        EXPECT_EQ(ctrl::FindSlot(slot.name), &slot);
    }
    EXPECT_EQ(ctrl::kBlockSize / ctrl::kSlotSize, 48u);
    EXPECT_EQ(ctrl::FindSlot("displayname"), nullptr);
}

// The offsets operators' relabelled programs rely on, written out here rather
// than taken from the layout table, so that a slot moved there is caught.
TEST(CtrlLayout, EverySlotSitsAtItsFixedOffset) {
    struct Case {
        const char* name;
        size_t offset;
    } const cases[] = {
        {"DisplayName", 0x0000},    {"LaunchSwitch", 0x0100},   {"TitleName", 0x0200},     {"LoginPageUrl", 0x0300},
        {"ExitPageUrl", 0x0400},    {"RefererUrl", 0x0500},     {"ClientVersion", 0x0600}, {"ExeName", 0x0700},
        {"GameCode", 0x0800},       {"ConfigPage", 0x0900},     {"ShortName", 0x0A00},     {"StatTag", 0x0B00},
        {"Agid", 0x1000},           {"Cid", 0x1100},            {"Aid", 0x1200},           {"Oid", 0x1300},
        {"Oid1", 0x1400},           {"Oid2", 0x1500},           {"BuildFlags", 0x1600},    {"BuildTag", 0x1700},
        {"PortalHost", 0x1800},     {"PayHost", 0x1900},        {"ClientStatHost", 0x1A00}, {"DeviceStatHost", 0x1B00},
        {"EventStatHost", 0x1C00},  {"OnlineStatHost", 0x1D00}, {"PartnerHost", 0x1E00},  {"QqOAuthHost", 0x1F00},
        {"GameHallHost", 0x2000},   {"ProbeUrl", 0x2100},       {"UpdateDomains", 0x2200}, {"ExpectedTag", 0x2300},
        {"UpdateKey", 0x2400},
    };
    EXPECT_EQ(ctrl::AllSlots().size(), std::size(cases));
    for (const auto& c : cases) {
        const ctrl::SlotInfo* slot = ctrl::FindSlot(c.name);
        ASSERT_NE(slot, nullptr) << c.name;
        EXPECT_EQ(ctrl::Offset(slot->slot), c.offset) << c.name;
    }
}

TEST_F(CtrlBlockTest, ReferenceBuildReadsBack) {
    const CCtrlBlock block = View();
    EXPECT_EQ(block.DisplayName(), L"Dolnrise");
    EXPECT_EQ(block.TitleName(), L"Dolnrise");
    EXPECT_EQ(block.LaunchSwitch(), L"/Doln2D");
    EXPECT_EQ(block.ClientVersion(), L"3.0.0.1");
    EXPECT_EQ(block.GameCode(), L"doln");
    EXPECT_EQ(block.ShortName(), L"Doln2");
    EXPECT_EQ(block.StatTag(), L"Doln2");
    EXPECT_EQ(block.Cid(), L"3000");
    EXPECT_EQ(block.Oid(), L"17800");
    EXPECT_EQ(block.BuildTag(), L"doln-gwb2-zddl");
    EXPECT_EQ(block.PortalHost(), L"127.0.0.1:7251");
    EXPECT_EQ(block.ProbeUrl(), L"http://127.0.0.1:7251/");
    EXPECT_EQ(block.LoginPageUrl().back(), L'&');
    // The referer is the login page with the channel ids put in front of "oid=".
    std::wstring referer = block.LoginPageUrl();
    referer.insert(referer.find(L"oid="), L"agid=0&cid=3000&aid=2&");
    EXPECT_EQ(block.RefererUrl(), referer);
}

TEST_F(CtrlBlockTest, EmptySlotsGiveEmptyText) {
    const CCtrlBlock block = View();
    EXPECT_EQ(block.ExitPageUrl(), L"");
    EXPECT_EQ(block.Oid2(), L"");
    EXPECT_EQ(block.ExpectedTag(), L"");
    EXPECT_EQ(block.UpdateKey(), L"");
}

TEST_F(CtrlBlockTest, EmptyProbeAddressFallsBackToAPublicOne) {
    ASSERT_EQ(relabel::SetSlot(m_block, "ProbeUrl", "", *m_gbk), "");
    const std::wstring probe = View().ProbeUrl();
    EXPECT_TRUE(probe.starts_with(L"http://") && probe.size() > 8) << "an empty probe address fails every start";
}

TEST_F(CtrlBlockTest, ReferenceFlagsTestBitByBit) {
    const CCtrlBlock block = View();
    EXPECT_EQ(block.BuildFlags(), 0x14Eu);
    for (unsigned bit : {1u, 2u, 3u, 6u, 8u}) EXPECT_TRUE(block.IsFlagSet(bit)) << bit;
    for (unsigned bit : {0u, 5u, 7u, 9u, 11u, 31u, 32u, 200u}) EXPECT_FALSE(block.IsFlagSet(bit)) << bit;
}

TEST_F(CtrlBlockTest, FullSlotConvertsWholeAndStopsAtItsEnd) {
    const std::string full(255, 'v');
    ASSERT_EQ(relabel::SetSlot(m_block, "ClientVersion", full, *m_gbk), "");
    // A corrupt block without a terminator still never reads into the next slot.
    std::fill_n(m_block.begin() + ctrl::Offset(ctrl::Slot::ExeName), ctrl::kSlotSize, uint8_t{'x'});
    const CCtrlBlock block = View();
    EXPECT_EQ(block.ClientVersion(), std::wstring(255, L'v'));
    EXPECT_EQ(block.SlotBytes(ctrl::Slot::ExeName), std::string(255, 'x'));
    EXPECT_EQ(block.GameCode(), L"doln");
}

TEST_F(CtrlBlockTest, NameSlotsAreGbkAndReadIndependently) {
    ASSERT_EQ(relabel::SetSlot(m_block, "DisplayName", "梦幻大陆", *m_gbk), "");
    ASSERT_EQ(relabel::SetSlot(m_block, "TitleName", "梦幻大陆", *m_gbk), "");
    const CCtrlBlock block = View();
    // GBK spends two bytes per Han character.
    EXPECT_EQ(block.SlotBytes(ctrl::Slot::DisplayName), "\xC3\xCE\xBB\xC3\xB4\xF3\xC2\xBD");
    EXPECT_EQ(block.DisplayName(), L"梦幻大陆");
    EXPECT_EQ(block.TitleName(), L"梦幻大陆");
}
