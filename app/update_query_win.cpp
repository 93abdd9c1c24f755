#include "app/update_query_win.h"

#include "app/ctrl_block.h"
#include "app/ini_win.h"
#include "app/update_info.h"
#include "base/utf8.h"
#include "fw/handles_win.h"
#include "net/sock_down_file.h"

namespace {

constexpr unsigned kDescriptionReceiveMs = 3000;


UpdateAnswer QueryRunningProgram() {
    const CCtrlBlock& block = TheCtrlBlock();
    const UpdateQueryInput input{block.ExpectedTag(), WideToUtf8(block.UpdateKey()), block.ClientVersion(), ModulePath()};
    return QueryUpdate(input, [&block] {
        CSockDownFile client;
        client.SetReceiveLimit(kDescriptionReceiveMs);
        return client.HttpGetText(
            UpdateInfoAddress(block.PortalHost(), block.GameCode(), block.Aid(), block.ClientVersion()));
    });
}

}  // namespace

bool CUpdateQuery::Start(HWND window, UINT message, bool background) {
    {
        std::lock_guard<std::mutex> hold(m_state->lock);
        if (m_state->running) {
            // The user asks while the background check runs: that check's
            // answer is the user's.
            if (!background) m_state->background = false;
            return true;
        }
        m_state->running = true;
        m_state->window = window;
        m_state->message = message;
        m_state->background = background;
    }
    // The thread keeps the state alive past this object.
    auto share = std::make_unique<std::shared_ptr<CState>>(m_state);
    const fw::ScopedKernelHandle thread(CreateThread(nullptr, 0, Thread, share.get(), 0, nullptr));
    if (!thread) {
        std::lock_guard<std::mutex> hold(m_state->lock);
        m_state->running = false;
        return false;
    }
    (void)share.release();
    return true;
}

bool CUpdateQuery::Running() const {
    std::lock_guard<std::mutex> hold(m_state->lock);
    return m_state->running;
}

UpdateAnswer CUpdateQuery::Answer() const {
    std::lock_guard<std::mutex> hold(m_state->lock);
    return m_state->answer;
}

DWORD WINAPI CUpdateQuery::Thread(LPVOID param) {
    const std::unique_ptr<std::shared_ptr<CState>> share(static_cast<std::shared_ptr<CState>*>(param));
    CState& state = **share;
    const UpdateAnswer answer = QueryRunningProgram();
    HWND window = nullptr;
    UINT message = 0;
    bool background = false;
    {
        std::lock_guard<std::mutex> hold(state.lock);
        state.answer = answer;
        state.running = false;
        window = state.window;
        message = state.message;
        background = state.background;
    }
    ::PostMessageW(window, message, background ? 1 : 0, answer.needed ? 1 : 0);
    return 0;
}
