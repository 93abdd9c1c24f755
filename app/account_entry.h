#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/code_page.h"

// The encrypted account entry that the login page's "setpauth" leaves in the
// settings file: key and value both come from AES cipher bytes.

// Percent-decodes once more: the text in the thread's code page, "%" and two
// hex digits become that byte, and the bytes are read back in the system code
// page. Characters the code page cannot hold pass through unchanged.
std::wstring DecodeAccountText(std::wstring_view text, const ICodePage& threadAnsi, const ICodePage& systemAnsi);

// The characters between the first and the second "|"; empty with fewer.
std::wstring SecondField(std::wstring_view text);

// UTF-16LE bytes of a text, the form that is encrypted.
std::vector<uint8_t> Utf16LeBytes(std::wstring_view text);

// Cipher bytes read as UTF-16LE code units up to the first zero unit.
std::wstring KeyTextFromCipher(const std::vector<uint8_t>& cipher);

// Whether a key name survives a profile file unchanged: not empty, no
// control characters, none of "=[]", no leading ";" or "#", no blank at either
// end (the profile functions trim them), and an exact form in the file's code
// page.
bool IsSafeProfileKey(std::wstring_view key, const ICodePage& fileAnsi);

struct AccountEntry {
    std::wstring key;
    std::vector<uint8_t> valueCipher;  // stored in the letter encoding
};

using Encryptor = std::function<std::optional<std::vector<uint8_t>>(const std::vector<uint8_t>&)>;

// Key: the encrypted second field read as UTF-16LE text; when that text
// cannot stand in a profile file it is replaced by the letter encoding of
// the whole cipher, so a key never breaks the file. Value: the encrypted
// account text as received. Nothing when the encryption fails.
std::optional<AccountEntry> BuildAccountEntry(std::wstring_view accountText, const Encryptor& encrypt,
                                              const ICodePage& threadAnsi, const ICodePage& systemAnsi);
