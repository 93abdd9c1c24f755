#include "tools/sound_mute_win.h"

#include <mmsystem.h>
#include <dsound.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "fw/system_library_win.h"
#include "tools/code_hook_win.h"

namespace {

// The mixer calls, from winmm loaded at the first mute rather than with the
// program: start-up never needs it, and under Wine each library mapped
// before the login face holds it up.
struct MixerApi {
    decltype(&mixerGetNumDevs) getNumDevs;
    decltype(&mixerOpen) open;
    decltype(&mixerGetLineInfoW) getLineInfo;
    decltype(&mixerGetLineControlsW) getLineControls;
    decltype(&mixerGetControlDetailsW) getControlDetails;
    decltype(&mixerSetControlDetails) setControlDetails;
    decltype(&mixerClose) close;
};

// Null when winmm or one of its calls is missing.
const MixerApi* Mixer() {
    static const fw::ScopedModule winmm = fw::LoadSystemLibrary(L"winmm.dll");
    static const MixerApi api{
        fw::SystemFunction<decltype(&mixerGetNumDevs)>(winmm, "mixerGetNumDevs"),
        fw::SystemFunction<decltype(&mixerOpen)>(winmm, "mixerOpen"),
        fw::SystemFunction<decltype(&mixerGetLineInfoW)>(winmm, "mixerGetLineInfoW"),
        fw::SystemFunction<decltype(&mixerGetLineControlsW)>(winmm, "mixerGetLineControlsW"),
        fw::SystemFunction<decltype(&mixerGetControlDetailsW)>(winmm, "mixerGetControlDetailsW"),
        fw::SystemFunction<decltype(&mixerSetControlDetails)>(winmm, "mixerSetControlDetails"),
        fw::SystemFunction<decltype(&mixerClose)>(winmm, "mixerClose"),
    };
    const bool complete = api.getNumDevs && api.open && api.getLineInfo && api.getLineControls &&
                          api.getControlDetails && api.setControlDetails && api.close;
    return complete ? &api : nullptr;
}

// Written by the interface thread only, read without a lock by the audio
// threads: a reader sees the old or the new value, at worst one more buffer
// passes unchanged.
std::atomic<BOOL> g_hookMute{FALSE};

bool Muted() { return g_hookMute.load(std::memory_order_relaxed) != FALSE; }

using WaveOutWriteFn = MMRESULT(WINAPI*)(HWAVEOUT, LPWAVEHDR, UINT);
using MidiStreamOutFn = MMRESULT(WINAPI*)(HMIDISTRM, LPMIDIHDR, UINT);
using DirectSoundCreateFn = HRESULT(WINAPI*)(LPCGUID, LPDIRECTSOUND*, LPUNKNOWN);
using CreateSoundBufferFn = HRESULT(STDMETHODCALLTYPE*)(IDirectSound*, LPCDSBUFFERDESC, LPDIRECTSOUNDBUFFER*,
                                                        LPUNKNOWN);
using UnlockFn = HRESULT(STDMETHODCALLTYPE*)(IDirectSoundBuffer*, LPVOID, DWORD, LPVOID, DWORD);

// The ways to the original functions, set before the first call can arrive.
WaveOutWriteFn g_realWaveOutWrite = nullptr;
MidiStreamOutFn g_realMidiStreamOut = nullptr;
DirectSoundCreateFn g_realDirectSoundCreate = nullptr;

// Interface tables patched at one entry each. Every object of one class
// shares its table, so one patch per table covers all later objects; a
// different class (a primary buffer beside secondary ones, say) has its own
// table and its own original. Each replacement forwards to the original of
// the table its object uses, and a table is never patched twice, which would
// make the replacement its own "original".
class CTablePatches {
public:
    explicit CTablePatches(size_t index) : m_index(index) {}

    void Patch(void* object, void* replacement) {
        void** table = *static_cast<void***>(object);
        std::lock_guard<std::mutex> lock(m_lock);
        for (Slot& slot : m_slots) {
            if (slot.table.load(std::memory_order_acquire) == table) return;
        }
        if (table[m_index] == replacement) return;
        for (Slot& slot : m_slots) {
            if (slot.table.load(std::memory_order_relaxed) != nullptr) continue;
            DWORD oldProtect = 0;
            if (!VirtualProtect(&table[m_index], sizeof(void*), PAGE_EXECUTE_READWRITE, &oldProtect)) return;
            slot.original = table[m_index];
            slot.table.store(table, std::memory_order_release);
            InterlockedExchangePointer(&table[m_index], replacement);
            DWORD ignored = 0;
            VirtualProtect(&table[m_index], sizeof(void*), oldProtect, &ignored);
            return;
        }
        // More classes than slots: the rest stay as they are.
    }

    void* OriginalFor(void* object) const {
        void** table = *static_cast<void***>(object);
        for (const Slot& slot : m_slots) {
            if (slot.table.load(std::memory_order_acquire) == table) return slot.original;
        }
        return nullptr;
    }

private:
    struct Slot {
        std::atomic<void**> table{nullptr};
        void* original = nullptr;
    };
    size_t m_index;
    Slot m_slots[8];
    std::mutex m_lock;
};

// IDirectSound::CreateSoundBuffer and IDirectSoundBuffer::Unlock.
CTablePatches g_deviceTables(3);
CTablePatches g_bufferTables(19);

MMRESULT WINAPI MuteWaveOutWrite(HWAVEOUT device, LPWAVEHDR header, UINT size) {
    if (Muted() && header != nullptr && header->lpData != nullptr) std::memset(header->lpData, 0, header->dwBufferLength);
    return g_realWaveOutWrite(device, header, size);
}

MMRESULT WINAPI MuteMidiStreamOut(HMIDISTRM stream, LPMIDIHDR header, UINT size) {
    if (Muted() && header != nullptr && header->lpData != nullptr) std::memset(header->lpData, 0, header->dwBufferLength);
    return g_realMidiStreamOut(stream, header, size);
}

HRESULT STDMETHODCALLTYPE MuteUnlock(IDirectSoundBuffer* buffer, LPVOID region1, DWORD length1, LPVOID region2,
                                     DWORD length2) {
    const auto real = reinterpret_cast<UnlockFn>(g_bufferTables.OriginalFor(buffer));
    if (real == nullptr) return DSERR_GENERIC;
    if (Muted()) {
        if (region1 != nullptr) std::memset(region1, 0, length1);
        if (region2 != nullptr) std::memset(region2, 0, length2);
    }
    return real(buffer, region1, length1, region2, length2);
}

HRESULT STDMETHODCALLTYPE MuteCreateSoundBuffer(IDirectSound* device, LPCDSBUFFERDESC description,
                                                LPDIRECTSOUNDBUFFER* out, LPUNKNOWN outer) {
    const auto real = reinterpret_cast<CreateSoundBufferFn>(g_deviceTables.OriginalFor(device));
    if (real == nullptr) return DSERR_GENERIC;
    // Without a place for the result the original refuses the call itself;
    // a buffer made for nobody would be lost while the caller heard success.
    if (out == nullptr) return real(device, description, out, outer);
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    const HRESULT hr = real(device, description, &buffer, outer);
    *out = buffer;
    if (SUCCEEDED(hr) && buffer != nullptr) g_bufferTables.Patch(buffer, reinterpret_cast<void*>(&MuteUnlock));
    return hr;
}

HRESULT WINAPI MuteDirectSoundCreate(LPCGUID guid, LPDIRECTSOUND* out, LPUNKNOWN outer) {
    if (out == nullptr) return g_realDirectSoundCreate(guid, out, outer);
    LPDIRECTSOUND device = nullptr;
    const HRESULT hr = g_realDirectSoundCreate(guid, &device, outer);
    *out = device;
    if (SUCCEEDED(hr) && device != nullptr) {
        g_deviceTables.Patch(device, reinterpret_cast<void*>(&MuteCreateSoundBuffer));
    }
    return hr;
}

struct Redirection {
    const wchar_t* module;
    const char* name;
    const void* replacement;
    void** original;
};
const Redirection kRedirections[] = {
    {L"winmm.dll", "waveOutWrite", reinterpret_cast<const void*>(&MuteWaveOutWrite),
     reinterpret_cast<void**>(&g_realWaveOutWrite)},
    {L"winmm.dll", "midiStreamOut", reinterpret_cast<const void*>(&MuteMidiStreamOut),
     reinterpret_cast<void**>(&g_realMidiStreamOut)},
    {L"dsound.dll", "DirectSoundCreate", reinterpret_cast<const void*>(&MuteDirectSoundCreate),
     reinterpret_cast<void**>(&g_realDirectSoundCreate)},
};
CCodeHook g_hooks[std::size(kRedirections)];
bool g_installed = false;

void InstallSoundHooks() {
    for (size_t i = 0; i < std::size(kRedirections); ++i) {
        const Redirection& r = kRedirections[i];
        // From the system folder: a library of that name beside the program
        // must not be the one redirected. Pinned: a redirected module must
        // never be unloaded under its jump.
        const fw::ScopedModule module = fw::LoadSystemLibrary(r.module);
        if (!module) continue;
        HMODULE pinned = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                           reinterpret_cast<LPCWSTR>(module.Get()), &pinned);
        void* target = reinterpret_cast<void*>(GetProcAddress(module.Get(), r.name));
        g_hooks[i].Attach(target, r.replacement, r.original);
    }
}

}  // namespace

BOOL IsVistaOrLater() {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(&version)) return FALSE;
#pragma GCC diagnostic pop
    return version.dwMajorVersion > 5;
}

BOOL SetMixerMute(DWORD componentType, BOOL mute) {
    const MixerApi* mixerApi = Mixer();
    if (mixerApi == nullptr) return FALSE;
    mixerApi->getNumDevs();
    HMIXER mixer = nullptr;
    // Mixer device 0 by its number: with the handle flag the 0 would be
    // taken for a mixer handle, and no mixer would ever open.
    if (mixerApi->open(&mixer, 0, 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR) return FALSE;
    const auto object = reinterpret_cast<HMIXEROBJ>(mixer);

    MIXERLINEW line{};
    line.cbStruct = sizeof(line);
    line.dwComponentType = componentType;
    bool ok = mixerApi->getLineInfo(object, &line, MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) ==
              MMSYSERR_NOERROR;

    MIXERCONTROLW control{};
    control.cbStruct = sizeof(control);
    if (ok) {
        MIXERLINECONTROLSW controls{};
        controls.cbStruct = sizeof(controls);
        controls.dwLineID = line.dwLineID;
        controls.dwControlType = MIXERCONTROL_CONTROLTYPE_MUTE;
        controls.cControls = 1;
        controls.cbmxctrl = sizeof(control);
        controls.pamxctrl = &control;
        ok = mixerApi->getLineControls(object, &controls, MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) ==
             MMSYSERR_NOERROR;
    }
    if (ok) {
        MIXERCONTROLDETAILS_BOOLEAN value{};
        MIXERCONTROLDETAILS details{};
        details.cbStruct = sizeof(details);
        details.dwControlID = control.dwControlID;
        details.cChannels = 1;
        details.cMultipleItems = control.cMultipleItems;
        details.cbDetails = sizeof(value);
        details.paDetails = &value;
        ok = mixerApi->getControlDetails(object, &details, MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE) ==
             MMSYSERR_NOERROR;
        if (ok) {
            value.fValue = mute ? 1 : 0;
            ok = mixerApi->setControlDetails(object, &details, MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE) ==
                 MMSYSERR_NOERROR;
        }
    }
    mixerApi->close(mixer);
    return ok ? TRUE : FALSE;
}

BOOL SetInterceptedMute(BOOL mute) {
    if (!g_installed) {
        InstallSoundHooks();
        g_installed = true;
        std::atexit(RemoveSoundHooks);
    }
    g_hookMute.store(mute, std::memory_order_relaxed);
    for (const CCodeHook& hook : g_hooks) {
        if (!hook.IsAttached()) return FALSE;
    }
    return TRUE;
}

void RemoveSoundHooks() {
    for (CCodeHook& hook : g_hooks) hook.Detach();
}

BOOL SetMute(BOOL mute) {
    if (IsVistaOrLater()) {
        SetMixerMute(MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, mute);
        return SetMixerMute(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, mute);
    }
    return SetInterceptedMute(mute);
}
