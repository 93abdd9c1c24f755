#include <windows.h>

#include <mmsystem.h>
#include <dsound.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <vector>

#include "tools/code_hook_win.h"
#include "tools/sound_mute_win.h"

// The interception facility on the system's own functions, and the sound
// redirections over stand-ins for the sound devices this machine lacks.

namespace {

using NoArgFn = DWORD(WINAPI*)();

template <int N>
struct Offset {
    static inline void* original = nullptr;
    static DWORD WINAPI Replacement() { return reinterpret_cast<NoArgFn>(original)() + 1000u * (N + 1); }
};

std::string FirstBytes(const void* code) {
    std::ostringstream out;
    for (int i = 0; i < 16; ++i) out << std::hex << int(static_cast<const uint8_t*>(code)[i]) << ' ';
    return out.str();
}

NoArgFn Export(const wchar_t* module, const char* name) {
    return reinterpret_cast<NoArgFn>(reinterpret_cast<void*>(GetProcAddress(LoadLibraryW(module), name)));
}

}  // namespace

TEST(CodeHook, RedirectsSystemFunctionsAndReachesTheirOriginals) {
    struct Case {
        const wchar_t* module;
        const char* name;
        const void* replacement;
        void** original;
        DWORD offset;
    } const cases[] = {
        {L"kernel32.dll", "GetCurrentProcessId", reinterpret_cast<const void*>(&Offset<0>::Replacement), &Offset<0>::original, 1000},
        {L"kernel32.dll", "GetCurrentThreadId", reinterpret_cast<const void*>(&Offset<1>::Replacement), &Offset<1>::original, 2000},
        {L"winmm.dll", "waveOutGetNumDevs", reinterpret_cast<const void*>(&Offset<2>::Replacement), &Offset<2>::original, 3000},
        {L"user32.dll", "GetDoubleClickTime", reinterpret_cast<const void*>(&Offset<3>::Replacement), &Offset<3>::original, 4000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const NoArgFn fn = Export(c.module, c.name);
        ASSERT_NE(fn, nullptr);
        const DWORD plain = fn();
        CCodeHook hook;
        ASSERT_TRUE(hook.Attach(reinterpret_cast<void*>(fn), c.replacement, c.original)) << FirstBytes(reinterpret_cast<void*>(fn));
        EXPECT_FALSE(hook.Attach(reinterpret_cast<void*>(fn), c.replacement, c.original));
        EXPECT_EQ(fn(), plain + c.offset);
        EXPECT_TRUE(hook.Detach());
        EXPECT_EQ(fn(), plain);
        EXPECT_FALSE(hook.Detach());
    }
}

TEST(CodeHook, ARedirectionOnTopIsNotUndoneFromBelow) {
    const NoArgFn fn = Export(L"kernel32.dll", "GetCurrentProcessId");
    const DWORD plain = fn();
    CCodeHook below, above;
    ASSERT_TRUE(below.Attach(reinterpret_cast<void*>(fn), reinterpret_cast<const void*>(&Offset<10>::Replacement),
                             &Offset<10>::original));
    // The second one moves the first one's jump into its own trampoline.
    ASSERT_TRUE(above.Attach(reinterpret_cast<void*>(fn), reinterpret_cast<const void*>(&Offset<20>::Replacement),
                             &Offset<20>::original));
    EXPECT_EQ(fn(), plain + 11000 + 21000);
    EXPECT_FALSE(below.Detach());
    EXPECT_EQ(fn(), plain + 11000 + 21000);
    EXPECT_TRUE(above.Detach());
    EXPECT_TRUE(below.Detach());
    EXPECT_EQ(fn(), plain);
}

namespace {

// Stand-ins for the sound devices: each records the bytes it was handed.
std::vector<uint8_t> g_played;
HRESULT g_createResult = DS_OK;

void Record(const void* data, size_t length) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    g_played.insert(g_played.end(), bytes, bytes + length);
}

void* g_waveOriginal = nullptr;
MMRESULT WINAPI StandInWaveOutWrite(HWAVEOUT, LPWAVEHDR header, UINT) {
    if (header == nullptr) return MMSYSERR_INVALPARAM;
    Record(header->lpData, header->dwBufferLength);
    return MMSYSERR_NOERROR;
}
void* g_midiOriginal = nullptr;
MMRESULT WINAPI StandInMidiStreamOut(HMIDISTRM, LPMIDIHDR header, UINT) {
    Record(header->lpData, header->dwBufferLength);
    return MMSYSERR_NOERROR;
}

// COM objects as far as their interface tables go.
struct FakeObject {
    void** table;
};
HRESULT STDMETHODCALLTYPE FakeUnused() { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE FakeUnlock(void*, void* region1, DWORD length1, void* region2, DWORD length2) {
    if (region1 != nullptr) Record(region1, length1);
    if (region2 != nullptr) Record(region2, length2);
    return DS_OK;
}
void* g_bufferTable[21];
FakeObject g_buffer{g_bufferTable};
HRESULT STDMETHODCALLTYPE FakeCreateSoundBuffer(void*, LPCDSBUFFERDESC, LPDIRECTSOUNDBUFFER* out, LPUNKNOWN) {
    if (FAILED(g_createResult)) return g_createResult;
    *out = reinterpret_cast<LPDIRECTSOUNDBUFFER>(&g_buffer);
    return DS_OK;
}
void* g_deviceTable[11];
FakeObject g_device{g_deviceTable};
void* g_dsoundOriginal = nullptr;
HRESULT WINAPI StandInDirectSoundCreate(LPCGUID, LPDIRECTSOUND* out, LPUNKNOWN) {
    if (out == nullptr) return DSERR_INVALIDPARAM;
    if (FAILED(g_createResult)) return g_createResult;
    *out = reinterpret_cast<LPDIRECTSOUND>(&g_device);
    return DS_OK;
}

// Stand-ins stay for the life of the process, below the sound redirections.
CCodeHook g_standIns[3];

bool AllBytes(const std::vector<uint8_t>& bytes, uint8_t value) {
    return std::all_of(bytes.begin(), bytes.end(), [value](uint8_t b) { return b == value; });
}

}  // namespace

TEST(SoundMute, MixerRoadWithoutAMixerDeviceFails) {
    ASSERT_TRUE(IsVistaOrLater());  // Wine reports Windows 7
    ASSERT_EQ(mixerGetNumDevs(), 0u);
    EXPECT_FALSE(SetMixerMute(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, TRUE));
    EXPECT_FALSE(SetMute(TRUE));
    EXPECT_FALSE(SetMute(FALSE));
}

TEST(SoundMute, InterceptedBuffersAreSilencedOnlyWhileMuted) {
    std::fill(std::begin(g_bufferTable), std::end(g_bufferTable), reinterpret_cast<void*>(&FakeUnused));
    std::fill(std::begin(g_deviceTable), std::end(g_deviceTable), reinterpret_cast<void*>(&FakeUnused));
    g_bufferTable[19] = reinterpret_cast<void*>(&FakeUnlock);
    g_deviceTable[3] = reinterpret_cast<void*>(&FakeCreateSoundBuffer);

    const HMODULE winmm = LoadLibraryW(L"winmm.dll");
    const HMODULE dsound = LoadLibraryW(L"dsound.dll");
    ASSERT_NE(dsound, nullptr);
    const auto waveOutWriteFn = reinterpret_cast<decltype(&waveOutWrite)>(reinterpret_cast<void*>(GetProcAddress(winmm, "waveOutWrite")));
    const auto midiStreamOutFn = reinterpret_cast<decltype(&midiStreamOut)>(reinterpret_cast<void*>(GetProcAddress(winmm, "midiStreamOut")));
    const auto directSoundCreate =
        reinterpret_cast<HRESULT(WINAPI*)(LPCGUID, LPDIRECTSOUND*, LPUNKNOWN)>(
            reinterpret_cast<void*>(GetProcAddress(dsound, "DirectSoundCreate")));
    ASSERT_TRUE(g_standIns[0].Attach(reinterpret_cast<void*>(waveOutWriteFn),
                                     reinterpret_cast<const void*>(&StandInWaveOutWrite), &g_waveOriginal))
        << FirstBytes(reinterpret_cast<void*>(waveOutWriteFn));
    ASSERT_TRUE(g_standIns[1].Attach(reinterpret_cast<void*>(midiStreamOutFn),
                                     reinterpret_cast<const void*>(&StandInMidiStreamOut), &g_midiOriginal))
        << FirstBytes(reinterpret_cast<void*>(midiStreamOutFn));
    ASSERT_TRUE(g_standIns[2].Attach(reinterpret_cast<void*>(directSoundCreate),
                                     reinterpret_cast<const void*>(&StandInDirectSoundCreate), &g_dsoundOriginal))
        << FirstBytes(reinterpret_cast<void*>(directSoundCreate));

    // Muted before any device exists: the tables are patched as devices and
    // buffers are made, whatever the flag.
    ASSERT_TRUE(SetInterceptedMute(TRUE));

    // A failed creation passes its error through and patches nothing.
    g_createResult = DSERR_NODRIVER;
    LPDIRECTSOUND device = nullptr;
    EXPECT_EQ(directSoundCreate(nullptr, &device, nullptr), DSERR_NODRIVER);
    EXPECT_EQ(device, nullptr);
    EXPECT_EQ(g_deviceTable[3], reinterpret_cast<void*>(&FakeCreateSoundBuffer));
    g_createResult = DS_OK;
    ASSERT_EQ(directSoundCreate(nullptr, &device, nullptr), DS_OK);
    ASSERT_EQ(device, reinterpret_cast<LPDIRECTSOUND>(&g_device));
    EXPECT_NE(g_deviceTable[3], reinterpret_cast<void*>(&FakeCreateSoundBuffer));
    // Nowhere to put a device: the original's own answer, no device made for nobody.
    EXPECT_EQ(directSoundCreate(nullptr, nullptr, nullptr), DSERR_INVALIDPARAM);

    DSBUFFERDESC description{};
    description.dwSize = sizeof(description);
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    g_createResult = DSERR_INVALIDPARAM;
    EXPECT_EQ(device->CreateSoundBuffer(&description, &buffer, nullptr), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(g_bufferTable[19], reinterpret_cast<void*>(&FakeUnlock));
    g_createResult = DS_OK;
    ASSERT_EQ(device->CreateSoundBuffer(&description, &buffer, nullptr), DS_OK);
    ASSERT_EQ(buffer, reinterpret_cast<LPDIRECTSOUNDBUFFER>(&g_buffer));
    EXPECT_NE(g_bufferTable[19], reinterpret_cast<void*>(&FakeUnlock));

    for (const BOOL mute : {TRUE, FALSE, TRUE}) {
        SCOPED_TRACE(mute);
        EXPECT_TRUE(SetInterceptedMute(mute));
        const uint8_t expected = mute ? 0x00 : 0x55;

        std::vector<char> samples(64, 0x55);
        WAVEHDR wave{};
        wave.lpData = samples.data();
        wave.dwBufferLength = static_cast<DWORD>(samples.size());
        g_played.clear();
        EXPECT_EQ(waveOutWriteFn(nullptr, &wave, sizeof(wave)), MMSYSERR_NOERROR);
        EXPECT_EQ(g_played.size(), samples.size());
        EXPECT_TRUE(AllBytes(g_played, expected)) << "the device got the buffer as it was before the redirection";

        std::vector<char> events(24, 0x55);
        MIDIHDR midi{};
        midi.lpData = events.data();
        midi.dwBufferLength = static_cast<DWORD>(events.size());
        g_played.clear();
        EXPECT_EQ(midiStreamOutFn(nullptr, &midi, sizeof(midi)), MMSYSERR_NOERROR);
        EXPECT_EQ(g_played.size(), events.size());
        EXPECT_TRUE(AllBytes(g_played, expected));

        std::vector<uint8_t> region1(32, 0x55), region2(8, 0x55);
        g_played.clear();
        EXPECT_EQ(buffer->Unlock(region1.data(), 32, region2.data(), 8), DS_OK);
        EXPECT_EQ(g_played.size(), 40u);
        EXPECT_TRUE(AllBytes(g_played, expected));
        EXPECT_TRUE(AllBytes(region1, expected));
        // No second region, with a length anyway: nothing is written through a null pointer.
        EXPECT_EQ(buffer->Unlock(region1.data(), 32, nullptr, 8), DS_OK);
    }
    // Muted, a null header still reaches the function beneath, which answers for it.
    EXPECT_EQ(waveOutWriteFn(nullptr, nullptr, sizeof(WAVEHDR)), MMSYSERR_INVALPARAM);
}

TEST(SoundMute, ALibraryPlantedBesideTheProgramIsNeverLoaded) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring bin(self);
    bin.resize(bin.find_last_of(L'\\') + 1);
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"corvane_plant";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring child = folder + L"\\plant_child.exe";
    ASSERT_TRUE(CopyFileW((bin + L"plant_child.exe").c_str(), child.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((bin + L"plant_dll.dll").c_str(), (folder + L"\\dsound.dll").c_str(), FALSE));

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + child + L"\"";
    ASSERT_TRUE(CreateProcessW(child.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                               &startup, &process));
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    DWORD exitCode = 99;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(exitCode, 0u);
    for (const wchar_t* name : {L"\\plant_child.exe", L"\\dsound.dll"}) DeleteFileW((folder + name).c_str());
    RemoveDirectoryW(folder.c_str());
}
