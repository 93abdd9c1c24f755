#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "app/after_face_work.h"

using namespace std::chrono_literals;

// Nothing runs before the face shows; what comes later starts at once; the
// end's wait is bounded by its time-out, not by the work.
TEST(AfterFaceWork, WaitsForTheFaceThenRunsBesideIt) {
    CAfterFaceWork work;
    std::atomic<int> ran{0};
    std::mutex lock;
    std::condition_variable released;
    bool release = false;
    work.RunAfterLoginFace([&] { ++ran; });
    work.RunAfterLoginFace([&] {
        std::unique_lock<std::mutex> hold(lock);
        released.wait(hold, [&] { return release; });
        ++ran;
    });
    EXPECT_TRUE(work.WaitIdle(0ms));
    EXPECT_EQ(ran, 0);

    work.Start();
    work.Start();
    work.RunAfterLoginFace([&] { ++ran; });
    for (int i = 0; i < 500 && ran < 2; ++i) std::this_thread::sleep_for(10ms);
    EXPECT_EQ(ran, 2);
    EXPECT_FALSE(work.WaitIdle(20ms));
    {
        std::lock_guard<std::mutex> hold(lock);
        release = true;
    }
    released.notify_all();
    EXPECT_TRUE(work.WaitIdle(5s));
    EXPECT_EQ(ran, 3);
}
