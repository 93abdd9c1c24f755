#include <gtest/gtest.h>

#include "app/beacon_urls.h"
#include "tests/native/reference_block.h"

namespace {

// RefererUrl of the reference build, percent-encoded.
const std::wstring kEncodedReferer =
    L"http%3A%2F%2F127%2E0%2E0%2E1%3A7251%2Fdoln%2Fclients%2Fdoln%2Dgwb2%2Dzddl%2Freg%2Ehtml%3Fagid%3D0%26cid%3D3000"
    L"%26aid%3D2%26oid%3D17800%26oid2%3D%26vcode%3D%26dirtype%3D0%26pt%3D0%26";

class BeaconUrlsTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(m_reference.Error(), ""); }
    CReferenceBlock m_reference;
};

TEST_F(BeaconUrlsTest, ClientStatisticsUrlsOfTheReferenceBuild) {
    const CCtrlBlock block = m_reference.View();
    EXPECT_EQ(InstallBeaconUrl(block, 1), L"http://127.0.0.1:7251/install.htm?tag=Doln2&ver=3.0.0.1&count=1");
    EXPECT_EQ(UninstallBeaconUrl(block, 12), L"http://127.0.0.1:7251/uninstall.htm?tag=Doln2&ver=3.0.0.1&count=12");
    EXPECT_EQ(ActiveBeaconUrl(block, ActiveStats{2, 9, 1, 3}),
              L"http://127.0.0.1:7251/active.htm?tag=Doln2&ver=3.0.0.1&count=2&apartdays=9&keepdays=1&weekdays=3");
    EXPECT_EQ(LoginBeaconUrl(block, L"u123", 2), L"http://127.0.0.1:7251/login.htm?tag=Doln2&ver=3.0.0.1&uid=u123&index=2");
}

TEST_F(BeaconUrlsTest, DeviceBeaconsCarryTheDeviceParameters) {
    const CCtrlBlock block = m_reference.View();
    const DeviceIdentity device{L"b455b462", L"6c9d85da966aeaae6c487088d1982500", L"00:1A:2B:3C:4D:5E"};
    const std::wstring params = DeviceParams(block, device);
    EXPECT_EQ(params,
              L"agid=0&cid=3000&aid=2&game=doln&did=b455b462&vid=6c9d85da966aeaae6c487088d1982500&mac=00:1A:2B:3C:4D:5E");
    EXPECT_EQ(DeviceBeaconUrl(block, DeviceBeacon::Install, params), L"http://127.0.0.1:7251/_az.gif?" + params);
    EXPECT_EQ(DeviceBeaconUrl(block, DeviceBeacon::Uninstall, params), L"http://127.0.0.1:7251/_xz.gif?" + params);
    // Parts that cannot be read go out empty.
    EXPECT_EQ(DeviceParams(block, DeviceIdentity{}), L"agid=0&cid=3000&aid=2&game=doln&did=&vid=&mac=");
}

TEST_F(BeaconUrlsTest, EventBeaconsOfTheStart) {
    const CCtrlBlock block = m_reference.View();
    const std::wstring mac = L"00:1A:2B:3C:4D:5E";
    const std::wstring tail = L"&lc=0&userSession=00:1A:2B:3C:4D:5E&newStat=0&referer=" + kEncodedReferer;
    EXPECT_EQ(EventBeaconUrl(block, beacon_event::kOpen, beacon_event::kOpenName, BlockChannel(block), mac),
              L"http://127.0.0.1:7251/_regevent.gif?event=100&ename=%E6%89%93%E5%BC%80&type=0&game=doln"
              L"&oid=17800&oid1=17800&oid2=&cid=3000&aid=2" + tail);
    EXPECT_EQ(EventBeaconUrl(block, beacon_event::kInstall, beacon_event::kInstallName, InstallEventChannel(), mac),
              L"http://127.0.0.1:7251/_regevent.gif?event=106&ename=%E5%AE%89%E8%A3%85&type=0&game=doln"
              L"&oid=15845&oid1=15845&oid2=&cid=39134&aid=67985" + tail);
    EXPECT_EQ(EventBeaconUrl(block, beacon_event::kUninstall, beacon_event::kUninstallName, BlockChannel(block), L""),
              L"http://127.0.0.1:7251/_regevent.gif?event=107&ename=%E5%8D%B8%E8%BD%BD&type=0&game=doln"
              L"&oid=17800&oid1=17800&oid2=&cid=3000&aid=2&lc=0&userSession=&newStat=0&referer=" + kEncodedReferer);
    EXPECT_LE(EventBeaconUrl(block, 100, L"打开", BlockChannel(block), mac).size(), kBeaconUrlMax);
}

TEST_F(BeaconUrlsTest, HostsComeFromTheControlBlock) {
    ASSERT_EQ(m_reference.Set("ClientStatHost", "stat.example.net"), "");
    ASSERT_EQ(m_reference.Set("DeviceStatHost", "dev.example.net:81"), "");
    ASSERT_EQ(m_reference.Set("EventStatHost", "ev.example.net"), "");
    const CCtrlBlock block = m_reference.View();
    EXPECT_EQ(InstallBeaconUrl(block, 1).rfind(L"http://stat.example.net/install.htm?", 0), 0u);
    EXPECT_EQ(DeviceBeaconUrl(block, DeviceBeacon::Install, L"x"), L"http://dev.example.net:81/_az.gif?x");
    EXPECT_EQ(EventBeaconUrl(block, 100, L"x", BlockChannel(block), L"").rfind(L"http://ev.example.net/_regevent.gif?", 0),
              0u);
}

}  // namespace
