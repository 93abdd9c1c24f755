#pragma once

#include <string>
#include <utility>
#include <vector>

#include "relabel/block_edit.h"
#include "tests/native/pe_builder.h"
#include "tests/native/test_files.h"

// A small synthetic program whose block is the reference build's with the
// given slots changed: a stand-in for a relabelled corvane.exe where only
// the block matters.
inline std::vector<unsigned char> LabelledTestPe(const std::vector<std::pair<std::string, std::string>>& slots) {
    std::vector<unsigned char> file =
        BuildTestPe({{".text", 0x200, 0x200}, {".ctrl", ctrl::kBlockSize, ctrl::kBlockSize}});
    const auto gbk = MakeGbkCodePage();
    relabel::Block block{};
    const std::string profile = ReadText(std::string(CORVANE_SOURCE_DIR) + "/res/builds/reference.build");
    if (!relabel::ApplyProfile(block, profile, *gbk).empty()) return {};
    for (const auto& [name, value] : slots) {
        if (!relabel::SetSlot(block, name, value, *gbk).empty()) return {};
    }
    std::copy(block.begin(), block.end(), file.begin() + kTestFirstRaw + 0x200);
    return file;
}
