#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The portal's update description: one JSON object of string members that
// names the newer build of this game and channel and how to check it.
struct UpdateInfo {
    std::string version;    // dotted decimal, e.g. "3.0.0.2"
    std::string tag;        // the new file's version tag (its digest digits and version)
    std::string url;        // where the file lies, "http://…"
    std::string size;       // the file's byte count, decimal
    std::string sha256;     // the file's SHA-256, 64 lower-case hex digits
    std::string signature;  // base64 of the DER ECDSA P-256 signature over SHA-256 of the file
};

namespace update_info {

// A version must fit the control-block slot it is compared with.
inline constexpr size_t kVersionMax = 255;
// One less than the update dialog's address buffer, which holds the terminator.
inline constexpr size_t kUrlMax = 511;
// The expected tag's bound: 63 bytes.
inline constexpr size_t kTagMax = 63;
// A DER ECDSA P-256 signature is at most 72 bytes; room for more, not for a file.
inline constexpr size_t kSignatureMax = 256;

}  // namespace update_info

// The text from the first "{" to the last "}" of the portal's answer (whose
// length is bounded as the icon description's is), parsed with jsoncpp as
// strict JSON (no comments, nothing after the object, no member twice).
// True when every member is present, a string and well formed: "version"
// dotted decimal, "size" decimal and within 64 bits, "sha256" 64 lower-case
// hex digits, "signature" strict base64, "url" "http://" and a host in
// printable ASCII without blanks, "tag" letters and digits. Other members
// are ignored. On false `out` is left empty.
bool ParseUpdateInfo(std::string_view body, UpdateInfo& out);

// True for one or more groups of decimal digits joined by single dots, at
// most update_info::kVersionMax characters.
bool IsDottedVersion(std::string_view text);

// Decimal digits only, at most 64 bits; false (and `value` untouched) else.
bool ParseByteCount(std::string_view text, uint64_t& value);

// Compares dotted-decimal versions group by group as numbers of any length
// ("3.0.0.10" > "3.0.0.9"); missing groups count as 0, so "3.0" equals
// "3.0.0". <0, 0 or >0 as a is older, equal or newer. Malformed text is
// older than any well-formed version and equal to other malformed text, so
// it never compares newer.
int CompareVersions(std::string_view a, std::string_view b);

// The description's full address on the portal host for this build:
// "http://" host "/webStatic/index.php?_c=client&_a=getUpdateInfo&game=…&aid=…&ver=…".
std::wstring UpdateInfoAddress(const std::wstring& portalHost, const std::wstring& gameCode, const std::wstring& aid,
                               const std::wstring& clientVersion);
