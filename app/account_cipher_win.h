#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// AES-128-CBC with PKCS#5 padding through CryptoAPI, with the program's
// account key and IV: (n / 16 + 1) * 16 bytes out for n bytes in.
std::optional<std::vector<uint8_t>> EncryptAccountBytes(const std::vector<uint8_t>& plain);

// Writes the encrypted account entry for the login page's account text into
// this build's section of the settings file. False when nothing was written.
bool WriteAccountEntry(const std::wstring& accountText);
