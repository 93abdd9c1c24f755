#include <gtest/gtest.h>

#include <array>

#include "app/device_identity.h"

namespace {

std::array<uint8_t, 512> IdentifyWithSerial(const std::string& twentyChars) {
    std::array<uint8_t, 512> data{};
    data.fill(0xEE);
    for (size_t i = 0; i < 20; i += 2) {
        // Each word holds its first character in the high byte.
        data[20 + i] = static_cast<uint8_t>(twentyChars[i + 1]);
        data[20 + i + 1] = static_cast<uint8_t>(twentyChars[i]);
    }
    return data;
}

class DeviceIdentityTest : public testing::Test {
protected:
    std::unique_ptr<ICodePage> m_gbk = MakeGbkCodePage();
};

TEST_F(DeviceIdentityTest, SerialIsTrimmedFromTheIdentifyWords) {
    const struct {
        const char* raw;  // 20 characters, zeros included
        const wchar_t* serial;
    } cases[] = {
        {"  WD-ABC123         ", L"WD-ABC123"},
        {"S3Z9NB0K123456789012", L"S3Z9NB0K123456789012"},
        {"                    ", L""},
        {"AB\0CD               ", L"AB"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SerialFromIdentify(IdentifyWithSerial(std::string(c.raw, 20)), *m_gbk), c.serial) << c.raw;
    }
    EXPECT_EQ(SerialFromIdentify(std::span<const uint8_t>(IdentifyWithSerial(std::string(20, 'x')).data(), 100), *m_gbk), L"");
}

TEST_F(DeviceIdentityTest, ProcessorSignature) {
    EXPECT_EQ(CpuSignature({0x000306C3, 0x178BFBFF, 0x11, 0x22}), L"178BFBFF000306C3");
    // The processor serial number bit adds leaf 3, EDX before ECX.
    EXPECT_EQ(CpuSignature({0x00000F29, 0x00040000, 0xCAFE, 0xBEEF}), L"00040000" L"00000F29" L"0000BEEF" L"0000CAFE");
}

TEST_F(DeviceIdentityTest, DeviceTextJoinsSerialAndProcessor) {
    EXPECT_EQ(DeviceText(L"WD-ABC123", L"178BFBFF000306C3"), L"WD-ABC123|178BFBFF000306C3");
    EXPECT_EQ(DeviceText(L"", L"178BFBFF000306C3"), L"178BFBFF000306C3");
    EXPECT_EQ(DeviceText(std::wstring(200, L's'), L"X").size(), 127u);
}

TEST_F(DeviceIdentityTest, DidFromDeviceTextAndRand) {
    auto constant = [](int r) { return [r] { return r; }; };
    // 'A' * 7 = 455 -> "0455"; every zero among the first four becomes 'a' + r % 26.
    EXPECT_EQ(DeviceDid(L"AB|0F", constant(1)), L"b455b462b868b336b49b");
    EXPECT_EQ(DeviceDid(L"AB|0F", constant(27)), L"b455b462b868b336b49b");
    EXPECT_EQ(DeviceDid(L"A", constant(25)), L"z455");
    // A wide code unit gives more than four digits; only the first four change.
    EXPECT_EQ(DeviceDid(L"\u4E2D", constant(0)), L"14aa91");
    // One draw per character.
    int next = 0;
    EXPECT_EQ(DeviceDid(L"FF", [&next] { return next++; }), L"a49ab49b");
    EXPECT_EQ(DeviceDid(std::wstring(127, L'A'), constant(0)).size(), 255u);
}

TEST_F(DeviceIdentityTest, VidIsDoubleMd5OfCidAndDeviceDigest) {
    // python3: m1 = md5(b"WD-ABC123|178BFBFF000306C3").hexdigest();
    //          md5(md5(("3000" + m1).encode()).hexdigest().encode()).hexdigest()
    EXPECT_EQ(DeviceVid(L"WD-ABC123|178BFBFF000306C3", L"3000", *m_gbk), L"6c9d85da966aeaae6c487088d1982500");
}

TEST_F(DeviceIdentityTest, MacText) {
    const uint8_t address[] = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x99};
    EXPECT_EQ(MacText(address), L"00:1A:2B:3C:4D:5E");
    EXPECT_EQ(MacText(std::span<const uint8_t>(address, 5)), L"");
}

}  // namespace
