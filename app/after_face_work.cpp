#include "app/after_face_work.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

struct CAfterFaceWork::State {
    std::mutex lock;
    std::condition_variable idle;
    std::vector<std::function<void()>> queued;
    bool started = false;
    int running = 0;
};

CAfterFaceWork::CAfterFaceWork() : m_state(std::make_shared<State>()) {}

void CAfterFaceWork::RunAfterLoginFace(std::function<void()> work) {
    if (!work) return;
    {
        std::lock_guard<std::mutex> lock(m_state->lock);
        if (!m_state->started) {
            m_state->queued.push_back(std::move(work));
            return;
        }
    }
    Launch(std::move(work));
}

void CAfterFaceWork::Start() {
    std::vector<std::function<void()>> queued;
    {
        std::lock_guard<std::mutex> lock(m_state->lock);
        if (m_state->started) return;
        m_state->started = true;
        queued.swap(m_state->queued);
    }
    for (auto& work : queued) Launch(std::move(work));
}

void CAfterFaceWork::Launch(std::function<void()> work) {
    {
        std::lock_guard<std::mutex> lock(m_state->lock);
        ++m_state->running;
    }
    auto finish = [](const std::shared_ptr<State>& state) {
        std::lock_guard<std::mutex> lock(state->lock);
        if (--state->running == 0) state->idle.notify_all();
    };
    try {
        std::thread([state = m_state, work = std::move(work), finish] {
            try {
                work();
            } catch (...) {
                // Work of this kind reports nothing; the start goes on without it.
            }
            finish(state);
        }).detach();
    } catch (...) {
        // No thread: the work is lost, and nobody must wait for it.
        finish(m_state);
    }
}

bool CAfterFaceWork::WaitIdle(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(m_state->lock);
    return m_state->idle.wait_for(lock, timeout, [this] { return m_state->running == 0; });
}
