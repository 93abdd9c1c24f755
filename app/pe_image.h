#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// Just enough of the PE format to find the control block in a built program
// and to drop its Authenticode signature. Every offset read from the file is
// checked against the file's size first.
namespace pe {

enum class Error {
    None,
    NotPe,          // no MZ header, no PE signature or an unknown optional header
    Truncated,      // a header, the section table or the section's data lies past the end
    NoCtrlSection,  // the program has no `.ctrl` section
    CtrlTooSmall,   // the section holds fewer than 0x3000 bytes
};

struct CtrlLocation {
    Error error = Error::None;
    size_t fileOffset = 0;  // start of the block in the file when error is None
};

CtrlLocation FindCtrlBlock(std::span<const uint8_t> file);

// Recomputes the optional header's checksum when the program carries one
// (a zero checksum stays zero, as the linker left it).
void UpdateChecksum(std::vector<uint8_t>& file);

// Drops an Authenticode signature: clears the security directory entry and
// cuts the certificate table off the end of the file. True when the program
// carried one. A relabel changes signed bytes, and a signature kept over them
// would only fail later, on the user's machine, with the signer's name on it.
// The checksum is left to UpdateChecksum.
bool StripSignature(std::vector<uint8_t>& file);

std::string_view Describe(Error error);

}  // namespace pe
