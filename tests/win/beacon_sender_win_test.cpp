#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <new>
#include <thread>
#include <vector>

#include "app/beacon_sender_win.h"
#include "tests/win/loopback_server_win.h"

namespace {

bool IsSignalled(HANDLE event) { return WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

TEST(BeaconSender, SignalsDoneOnceTheRequestHasEnded) {
    CWinLoopbackServer server;
    const auto events = CBeaconEvents::Create();
    ASSERT_NE(events, nullptr);
    SendBeacon(server.Url("/_regevent.gif?event=100"), events);
    ASSERT_EQ(WaitForSingleObject(events->Done(), 10000), WAIT_OBJECT_0);
    ASSERT_TRUE(server.WaitForRequests(1, 5000));
    EXPECT_EQ(server.Targets().at(0), "/_regevent.gif?event=100");
    // Manual reset: it stays signalled until a waiter resets it.
    EXPECT_TRUE(IsSignalled(events->Done()));
    events->WaitDoneAndReset();
    EXPECT_FALSE(IsSignalled(events->Done()));
    EXPECT_TRUE(events->WaitIdle(20000));
}

TEST(BeaconSender, DoneIsSignalledWhenTheHostRefusesTheConnection) {
    const auto events = CBeaconEvents::Create();
    ASSERT_NE(events, nullptr);
    SendBeacon(L"http://127.0.0.1:" + std::to_wstring(UnusedLoopbackPort()) + L"/install.htm", events);
    EXPECT_EQ(WaitForSingleObject(events->Done(), 20000), WAIT_OBJECT_0);
}

// Each kind of beacon has its own bound: a URL over it is not sent (never
// cut), but its end is still signalled; one that fits goes out whole.
TEST(BeaconSender, AnUrlOverItsKindsBoundIsNotSentButStillEnds) {
    CWinLoopbackServer server;
    const auto events = CBeaconEvents::Create();
    ASSERT_NE(events, nullptr);
    const std::wstring base = server.Url("/");
    struct Case {
        size_t bound;
        size_t length;
        bool sent;
    } const cases[] = {
        {kBeaconUrlMax, 512, false},
        {kBeaconUrlMax, 511, true},
        {kEventBeaconUrlMax, 1024, false},
        {kEventBeaconUrlMax, 1023, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        server.Clear();
        SendBeacon(base + std::wstring(c.length - base.size(), L'x'), events, c.bound);
        EXPECT_EQ(WaitForSingleObject(events->Done(), 10000), WAIT_OBJECT_0);
        events->WaitDoneAndReset();
        Sleep(200);
        ASSERT_EQ(server.Requests().size(), c.sent ? 1u : 0u);
        if (c.sent) EXPECT_EQ(server.Targets().at(0).size(), c.length - (base.size() - 1));
    }
}

// The URL is made on the beacon's own thread; a maker that fails sends
// nothing but still ends the beacon.
TEST(BeaconSender, UrlsMadeOnTheBeaconsThreadAreSentAndAFailedMakerStillEnds) {
    CWinLoopbackServer server;
    const auto events = CBeaconEvents::Create();
    ASSERT_NE(events, nullptr);
    const DWORD caller = GetCurrentThreadId();
    std::atomic<DWORD> maker{caller};
    SendBeaconBuiltOnThread(
        [&] {
            maker = GetCurrentThreadId();
            return server.Url("/made");
        },
        events);
    ASSERT_EQ(WaitForSingleObject(events->Done(), 10000), WAIT_OBJECT_0);
    events->WaitDoneAndReset();
    EXPECT_NE(maker.load(), caller);
    ASSERT_TRUE(server.WaitForRequests(1, 5000));
    EXPECT_EQ(server.Targets().at(0), "/made");

    SendBeaconBuiltOnThread([]() -> std::wstring { throw std::bad_alloc(); }, events);
    SendBeaconBuiltOnThread(nullptr, events);
    // Generous: once, on a loaded CI machine, two thread starts and a throw
    // took longer than five seconds; a beacon that never ends still fails.
    EXPECT_TRUE(events->WaitIdle(20000));
    Sleep(200);
    EXPECT_EQ(server.RequestCount(), 1u);
}

TEST(BeaconSender, EventsOutliveTheirOwnerWhileABeaconRuns) {
    CWinLoopbackServer server;
    auto events = CBeaconEvents::Create();
    ASSERT_NE(events, nullptr);
    SendBeacon(server.Url("/late"), events);
    std::weak_ptr<CBeaconEvents> watch = events;
    events.reset();
    ASSERT_TRUE(server.WaitForRequests(1, 10000));
    for (int i = 0; i < 100 && !watch.expired(); ++i) Sleep(50);
    EXPECT_TRUE(watch.expired());
}

TEST(BeaconSender, ConcurrentSendersEachDeliverTheirOwnUrl) {
    CWinLoopbackServer server;
    const auto events = CBeaconEvents::Create();
    ASSERT_NE(events, nullptr);
    constexpr int kSenders = 8;
    constexpr int kEach = 6;
    std::atomic<int> returned{0};
    std::vector<std::thread> senders;
    for (int s = 0; s < kSenders; ++s) {
        senders.emplace_back([&, s] {
            for (int i = 0; i < kEach; ++i) {
                std::wstring url = server.Url("/b?s=" + std::to_string(s) + "&i=" + std::to_string(i));
                SendBeacon(url, events);
                // A beacon thread still reading the caller's string would
                // now send this, which is no URL at all.
                std::fill(url.begin(), url.end(), L'x');
                ++returned;
            }
        });
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (returned < kSenders * kEach && std::chrono::steady_clock::now() < deadline) Sleep(20);
    const bool allReturned = returned == kSenders * kEach;
    if (!allReturned) {
        // A sender stuck on another beacon's signal would hang the join.
        for (auto& t : senders) t.detach();
        FAIL() << "only " << returned << " sends returned";
    }
    for (auto& t : senders) t.join();

    ASSERT_TRUE(server.WaitForRequests(kSenders * kEach, 30000)) << server.RequestCount();
    EXPECT_TRUE(events->WaitIdle(10000));
    std::vector<std::string> expected;
    for (int s = 0; s < kSenders; ++s) {
        for (int i = 0; i < kEach; ++i) expected.push_back("/b?s=" + std::to_string(s) + "&i=" + std::to_string(i));
    }
    std::vector<std::string> targets = server.Targets();
    std::sort(targets.begin(), targets.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(targets, expected);
}

}  // namespace
