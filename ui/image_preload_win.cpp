#include "ui/image_preload_win.h"

#include <objbase.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "ui/image_loader_win.h"

namespace {

struct Entry {
    ImageRequest request;
    bool decoded = false;
    bool taken = false;
    PreloadedImage image{};
};

class CImagePreload {
public:
    CImagePreload() = default;
    CImagePreload(const CImagePreload&) = delete;
    CImagePreload& operator=(const CImagePreload&) = delete;
    // A process that ends without FinishImagePreload must not end with a
    // joinable thread.
    ~CImagePreload() { Finish(); }

    bool Start(HMODULE module, std::vector<ImageRequest> images) {
        std::lock_guard<std::mutex> lock(m_lock);
        if (module == nullptr || (m_module != nullptr && module != m_module)) return false;
        m_module = module;
        const size_t before = m_entries.size();
        for (const ImageRequest& request : images) m_entries.push_back(Entry{request});
        // A running worker takes the new requests after its own.
        if (m_running) return true;
        if (m_worker.joinable()) m_worker.join();
        try {
            m_worker = std::thread([this] { Run(); });
        } catch (...) {
            m_entries.resize(before);
            return false;
        }
        m_running = true;
        return true;
    }

    std::optional<PreloadedImage> Take(HMODULE module, UINT id, ImageKind kind) {
        std::unique_lock<std::mutex> lock(m_lock);
        if (module != m_module) return std::nullopt;
        const auto it = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& e) {
            return !e.taken && e.request.id == id && e.request.kind == kind;
        });
        if (it == m_entries.end()) return std::nullopt;
        const size_t index = static_cast<size_t>(it - m_entries.begin());
        m_decoded.wait(lock, [&] { return m_entries[index].decoded; });
        Entry& entry = m_entries[index];
        entry.taken = true;
        // A decode that failed on the worker is tried again by the caller.
        if (entry.image.bitmap == nullptr) return std::nullopt;
        return entry.image;
    }

    size_t Finish() {
        if (m_worker.joinable()) m_worker.join();
        std::lock_guard<std::mutex> lock(m_lock);
        size_t left = 0;
        for (Entry& entry : m_entries) {
            if (entry.taken || entry.image.bitmap == nullptr) continue;
            DeleteObject(entry.image.bitmap);
            ++left;
        }
        m_entries.clear();
        m_module = nullptr;
        return left;
    }

private:
    void Run() {
        // GDI+ may decode through COM components.
        const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
        for (;;) {
            size_t index = 0;
            ImageRequest request{};
            HMODULE module = nullptr;
            {
                std::lock_guard<std::mutex> lock(m_lock);
                while (index < m_entries.size() && m_entries[index].decoded) ++index;
                if (index == m_entries.size()) {
                    m_running = false;
                    break;
                }
                request = m_entries[index].request;
                module = m_module;
            }
            PreloadedImage image{nullptr, SIZE{0, 0}};
            try {
                if (request.kind == ImageKind::Alpha)
                    image.bitmap = DecodeAlphaImage(module, request.id, &image.size);
                else
                    image.bitmap = DecodeSkinImage(module, request.id);
            } catch (...) {
                // Left to the caller, which decodes for itself; a waiting
                // caller must still be woken.
            }
            {
                std::lock_guard<std::mutex> lock(m_lock);
                m_entries[index].image = image;
                m_entries[index].decoded = true;
            }
            m_decoded.notify_all();
        }
        if (com) CoUninitialize();
    }

    std::mutex m_lock;
    std::condition_variable m_decoded;
    std::vector<Entry> m_entries;
    HMODULE m_module = nullptr;
    bool m_running = false;  // the worker has requests left
    std::thread m_worker;
};

CImagePreload& ThePreload() {
    static CImagePreload preload;
    return preload;
}

}  // namespace

bool StartImagePreload(HMODULE module, std::vector<ImageRequest> images) {
    return ThePreload().Start(module, std::move(images));
}

std::optional<PreloadedImage> TakePreloadedImage(HMODULE module, UINT id, ImageKind kind) {
    return ThePreload().Take(module, id, kind);
}

size_t FinishImagePreload() { return ThePreload().Finish(); }
