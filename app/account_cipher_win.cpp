#include "app/account_cipher_win.h"

#include <windows.h>

#include <wincrypt.h>

#include <array>
#include <cstring>

#include "app/account_entry.h"
#include "base/code_page_win.h"
#include "app/ctrl_block.h"
#include "app/ini_win.h"
#include "app/settings_store_win.h"
#include "fw/handles_win.h"

namespace {

// The key never stands whole in the program: it is put together from these
// two halves when it is needed.
constexpr std::array<uint8_t, 16> kKeyPartA = {0x5A, 0x13, 0xC7, 0x8E, 0x21, 0x9D, 0x44, 0xF0,
                                               0x6B, 0x38, 0xE2, 0x17, 0xAC, 0x59, 0x0D, 0x73};
constexpr std::array<uint8_t, 16> kKeyPartB = {0x3C, 0x81, 0x2F, 0xD4, 0x66, 0x0B, 0x97, 0xE8,
                                               0x15, 0x4A, 0xBE, 0x70, 0x29, 0xC3, 0x58, 0x9F};
constexpr std::array<uint8_t, 16> kIv = {0x72, 0x51, 0x47, 0x61, 0x6D, 0x65, 0x4C, 0x6F,
                                         0x67, 0x69, 0x6E, 0x2D, 0x33, 0x2E, 0x30, 0x31};

std::array<uint8_t, 16> AssembleKey() {
    std::array<uint8_t, 16> key;
    for (size_t i = 0; i < key.size(); ++i) key[i] = kKeyPartA[i] ^ kKeyPartB[key.size() - 1 - i];
    return key;
}

// A user without a default key container still gets a working provider: the
// key is imported, nothing is kept.
fw::ScopedCryptProvider AcquireAesProvider() {
    HCRYPTPROV provider = 0;
    if (CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_AES, CRYPT_SILENT) ||
        CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_AES, CRYPT_SILENT | CRYPT_VERIFYCONTEXT))
        return fw::ScopedCryptProvider(provider);
    return {};
}

struct AesKeyBlob {
    BLOBHEADER header;
    DWORD size;
    BYTE key[16];
};

}  // namespace

std::optional<std::vector<uint8_t>> EncryptAccountBytes(const std::vector<uint8_t>& plain) {
    const fw::ScopedCryptProvider provider = AcquireAesProvider();
    if (!provider) return std::nullopt;
    AesKeyBlob blob{};
    blob.header.bType = PLAINTEXTKEYBLOB;
    blob.header.bVersion = CUR_BLOB_VERSION;
    blob.header.aiKeyAlg = CALG_AES_128;
    blob.size = 16;
    const auto key = AssembleKey();
    std::memcpy(blob.key, key.data(), key.size());
    HCRYPTKEY rawKey = 0;
    const BOOL imported =
        CryptImportKey(provider.Get(), reinterpret_cast<const BYTE*>(&blob), sizeof blob, 0, 0, &rawKey);
    SecureZeroMemory(&blob, sizeof blob);
    if (!imported) return std::nullopt;
    const fw::ScopedCryptKey aes(rawKey);
    if (!CryptSetKeyParam(aes.Get(), KP_IV, kIv.data(), 0)) return std::nullopt;

    const size_t outSize = (plain.size() / 16 + 1) * 16;
    if (outSize > MAXDWORD) return std::nullopt;
    std::vector<uint8_t> data(outSize, 0);
    std::memcpy(data.data(), plain.data(), plain.size());
    DWORD length = static_cast<DWORD>(plain.size());
    if (!CryptEncrypt(aes.Get(), 0, TRUE, 0, data.data(), &length, static_cast<DWORD>(data.size()))) {
        return std::nullopt;
    }
    data.resize(length);
    return data;
}

bool WriteAccountEntry(const std::wstring& accountText) {
    const CWinCodePage threadAnsi(CP_THREAD_ACP);
    const CWinCodePage systemAnsi(CP_ACP);
    const auto entry = BuildAccountEntry(accountText, EncryptAccountBytes, threadAnsi, systemAnsi);
    if (!entry) return false;
    const std::wstring path = SettingsFilePath();
    if (path.empty()) return false;
    CIni ini(path, TheCtrlBlock().ShortName());
    return ini.WriteBinary(entry->valueCipher, nullptr, entry->key);
}
