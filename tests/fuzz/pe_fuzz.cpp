// Built programs handed to the relabel tool: locating the control block and
// rewriting the checksum.
#include "app/pe_image.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> file(data, data + size);
    const pe::CtrlLocation found = pe::FindCtrlBlock(file);
    pe::Describe(found.error);
    if (found.error != pe::Error::None) return 0;
    fuzz::Require(found.fileOffset <= size && size - found.fileOffset >= 0x3000, "the block lies inside the file");
    pe::UpdateChecksum(file);
    fuzz::Require(file.size() == size, "the checksum never resizes the file");
    return 0;
}
