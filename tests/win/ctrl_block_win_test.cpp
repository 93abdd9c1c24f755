#include <windows.h>

#include <imagehlp.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "app/ctrl_block.h"
#include "app/pe_image.h"

// This program's own block was written after the link (see tests/win/app.cmake)
// with Chinese names, a full 255-byte slot and an empty one.

TEST(CtrlBlockWin, RunsUnderTheChineseAnsiCodePage) { EXPECT_EQ(GetACP(), 936u); }

TEST(CtrlBlockWin, NameSlotsReadBackAsWideChinese) {
    EXPECT_EQ(TheCtrlBlock().DisplayName(), L"梦幻大陆");
    EXPECT_EQ(TheCtrlBlock().TitleName(), L"梦幻大陆");
}

TEST(CtrlBlockWin, FullAndEmptySlots) {
    EXPECT_EQ(TheCtrlBlock().ClientVersion(), std::wstring(255, L'v'));
    EXPECT_EQ(TheCtrlBlock().ExitPageUrl(), L"");
    EXPECT_EQ(TheCtrlBlock().Oid2(), L"");
    EXPECT_EQ(TheCtrlBlock().GameCode(), L"doln");
}

TEST(CtrlBlockWin, ReferenceFlags) {
    EXPECT_EQ(TheCtrlBlock().BuildFlags(), 0x14Eu);
    for (unsigned bit : {3u, 6u}) EXPECT_TRUE(TheCtrlBlock().IsFlagSet(bit)) << bit;
    for (unsigned bit : {0u, 5u, 7u, 9u, 11u}) EXPECT_FALSE(TheCtrlBlock().IsFlagSet(bit)) << bit;
}

TEST(CtrlBlockWin, RelabelChecksumMatchesTheSystemOne) {
    wchar_t path[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> image{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_GT(image.size(), 0x1000u);

    auto* nt = ImageNtHeader(image.data());
    ASSERT_NE(nt, nullptr);
    nt->OptionalHeader.CheckSum = 1;  // a program that carries a checksum
    pe::UpdateChecksum(image);
    const DWORD ours = nt->OptionalHeader.CheckSum;

    DWORD header = 0, computed = 0;
    ASSERT_NE(CheckSumMappedFile(image.data(), static_cast<DWORD>(image.size()), &header, &computed), nullptr);
    EXPECT_EQ(ours, computed);
    EXPECT_NE(ours, 1u);
}
