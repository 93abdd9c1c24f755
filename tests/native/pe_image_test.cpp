#include <gtest/gtest.h>

#include <random>

#include "app/ctrl_layout.h"
#include "app/pe_image.h"
#include "tests/native/pe_builder.h"
#include "tests/native/test_files.h"

namespace {

constexpr uint32_t kBlock = ctrl::kBlockSize;

std::vector<uint8_t> ValidPe() {
    return BuildTestPe({{".text", 0x200, 0x200}, {".ctrl", kBlock, kBlock}, {".rsrc", 0x10, 0x200}});
}

}  // namespace

TEST(PeImage, FindsTheBlockInSyntheticPrograms) {
    const auto file = ValidPe();
    const pe::CtrlLocation location = pe::FindCtrlBlock(file);
    EXPECT_EQ(location.error, pe::Error::None);
    EXPECT_EQ(location.fileOffset, kTestFirstRaw + 0x200);
}

TEST(PeImage, ReportsEachWayAProgramCanBeWrong) {
    const struct {
        const char* what;
        std::vector<uint8_t> file;
        pe::Error expected;
    } cases[] = {
        {"empty", {}, pe::Error::NotPe},
        {"text", std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o'}, pe::Error::NotPe},
        {"MZ only", std::vector<uint8_t>{'M', 'Z'}, pe::Error::Truncated},
        {"no section", BuildTestPe({{".text", 0x200, 0x200}}), pe::Error::NoCtrlSection},
        {"name prefix only", BuildTestPe({{".ctrlx", kBlock, kBlock}}), pe::Error::NoCtrlSection},
        {"raw too small", BuildTestPe({{".ctrl", kBlock, kBlock - 0x200}}), pe::Error::CtrlTooSmall},
        {"virtual too small", BuildTestPe({{".ctrl", kBlock - 1, kBlock}}), pe::Error::CtrlTooSmall},
    };
    for (const auto& c : cases) EXPECT_EQ(pe::FindCtrlBlock(c.file).error, c.expected) << c.what;

    auto file = ValidPe();
    auto corrupt = [&](auto edit, pe::Error expected, const char* what) {
        auto copy = file;
        edit(copy);
        EXPECT_EQ(pe::FindCtrlBlock(copy).error, expected) << what;
    };
    corrupt([](auto& f) { PutU32(f, 0x3C, 0xFFFFFFF0u); }, pe::Error::Truncated, "e_lfanew past the end");
    corrupt([](auto& f) { f[kTestPeAt + 1] = 'X'; }, pe::Error::NotPe, "bad signature");
    corrupt([](auto& f) { PutU16(f, kTestPeAt + 24, 0x107); }, pe::Error::NotPe, "unknown optional magic");
    corrupt([](auto& f) { PutU16(f, kTestPeAt + 20, 0xFFFF); }, pe::Error::Truncated, "optional header too long");
    corrupt([](auto& f) { PutU16(f, kTestPeAt + 6, 0xFFFF); }, pe::Error::Truncated, "65535 sections");
    corrupt([](auto& f) { PutU32(f, kTestSectionsAt + 40 + 20, 0xFFFFF000u); }, pe::Error::Truncated,
            "raw pointer near 4 GiB");
    corrupt([](auto& f) { f.resize(f.size() - 0x200 - 1); }, pe::Error::Truncated, "block cut by one byte");
}

TEST(PeImage, EveryTruncationOfTheBuiltProgramFailsCleanly) {
    const auto program = ReadBytes(BuiltProgram());
    const pe::CtrlLocation whole = pe::FindCtrlBlock(program);
    ASSERT_EQ(whole.error, pe::Error::None);
    // Every cut inside the headers, then every 512 bytes up to the block's end.
    const size_t blockEnd = whole.fileOffset + kBlock;
    for (size_t length = 0; length < blockEnd; length += (length < 4096 ? 1 : 512)) {
        const std::vector<uint8_t> cut(program.begin(), program.begin() + static_cast<std::ptrdiff_t>(length));
        const pe::Error error = pe::FindCtrlBlock(cut).error;
        ASSERT_TRUE(error == pe::Error::NotPe || error == pe::Error::Truncated) << "length " << length;
    }
    const std::vector<uint8_t> justEnough(program.begin(), program.begin() + static_cast<std::ptrdiff_t>(blockEnd));
    EXPECT_EQ(pe::FindCtrlBlock(justEnough).error, pe::Error::None);
}

TEST(PeImage, RandomHeaderCorruptionNeverReadsOutOfBounds) {
    auto program = ReadBytes(BuiltProgram());
    // What follows the block plays no part in finding it.
    program.resize(pe::FindCtrlBlock(program).fileOffset + kBlock);
    std::mt19937 random(7251);
    std::uniform_int_distribution<size_t> where(0, 1023);
    std::uniform_int_distribution<int> value(0, 255);
    // Each round corrupts the image in place and then puts it back: the image
    // stays one allocation of its exact size, so a read past its end still
    // shows, without copying all of it every round. Only the checksum, written
    // where the corrupted headers say, can land beyond the first 1024 bytes.
    const std::vector<uint8_t> original = program;
    for (int round = 0; round < 1500; ++round) {
        for (int k = 0; k < 1 + round % 8; ++k) program[where(random)] = static_cast<uint8_t>(value(random));
        const pe::CtrlLocation location = pe::FindCtrlBlock(program);
        if (location.error == pe::Error::None) {
            ASSERT_LE(location.fileOffset + kBlock, program.size());
        }
        const bool checksum = round % 16 == 0;
        if (checksum) pe::UpdateChecksum(program);
        std::copy_n(original.begin(), checksum ? original.size() : 1024, program.begin());
    }
}

TEST(PeImage, ZeroChecksumStaysZero) {
    auto file = ValidPe();
    const auto before = file;
    pe::UpdateChecksum(file);
    EXPECT_TRUE(file == before);
}

TEST(PeImage, StripsTheSignatureTableOffTheEnd) {
    constexpr size_t kDirCount = kTestPeAt + 24 + 108;
    constexpr size_t kSecurityEntry = kDirCount + 4 + 8 * 4;
    const auto unsigned_ = [] {
        auto file = ValidPe();
        PutU32(file, kDirCount, 16);
        return file;
    }();
    const auto withTable = [&](size_t at, size_t size, size_t fileSize) {
        auto file = unsigned_;
        file.resize(fileSize, 0xAB);
        PutU32(file, kSecurityEntry, static_cast<uint32_t>(at));
        PutU32(file, kSecurityEntry + 4, static_cast<uint32_t>(size));
        return file;
    };
    const size_t end = unsigned_.size();
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
        bool stripped;
        size_t sizeAfter;
    } const cases[] = {
        {"no signature", unsigned_, false, end},
        {"table at the end", withTable(end, 0x300, end + 0x300), true, end},
        {"table with data after it", withTable(end, 0x300, end + 0x400), true, end + 0x400},
        {"table over the block's data", withTable(end - 0x300, 0x300, end), true, end},
        {"table past the end", withTable(end, 0x300, end + 0x2FF), true, end + 0x2FF},
        {"offset near 4 GiB", withTable(0xFFFFFF00u, 0x300, end), true, end},
    };
    for (const auto& c : cases) {
        auto file = c.file;
        EXPECT_EQ(pe::StripSignature(file), c.stripped) << c.what;
        EXPECT_EQ(file.size(), c.sizeAfter) << c.what;
        EXPECT_EQ(file[kSecurityEntry] | file[kSecurityEntry + 4], 0) << c.what;
        EXPECT_EQ(pe::FindCtrlBlock(file).error, pe::Error::None) << c.what;
    }
    auto few = withTable(end, 0x300, end + 0x300);
    PutU32(few, kDirCount, 4);
    EXPECT_FALSE(pe::StripSignature(few)) << "no security entry among four directories";
}
