// Icon images as stored in a program's icon group, read and written out as
// an .ico file.
#include "tests/fuzz/fuzz_input.h"
#include "ui/icon_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto layout = icon::DescribeImage(data, size);
    if (!layout) return 0;
    fuzz::Require(layout->xorOffset <= layout->andOffset && layout->andOffset <= size,
                  "the image's parts lie inside its data");
    icon::Image image{std::vector<uint8_t>(data, data + size), *layout};
    const auto file = icon::ImageForFile(image);
    fuzz::Require(file.size() == size, "the written image keeps its size");
    const auto directory = icon::HeaderAndDirectory({image, image});
    fuzz::Require(directory.size() == 6 + 2 * 16, "one directory entry per image");
    return 0;
}
