#pragma once

#include <memory>
#include <string>

#include "app/ctrl_block.h"
#include "relabel/block_edit.h"
#include "tests/native/test_files.h"

// The reference build's control block, made from res/builds/reference.build.
class CReferenceBlock {
public:
    CReferenceBlock() {
        const std::string profile = ReadText(std::string(CORVANE_SOURCE_DIR) + "/res/builds/reference.build");
        m_error = relabel::ApplyProfile(m_block, profile, *m_gbk);
    }
    // Empty when the profile applied.
    const std::string& Error() const { return m_error; }
    std::string Set(std::string_view slot, std::string_view value) {
        return relabel::SetSlot(m_block, slot, value, *m_gbk);
    }
    CCtrlBlock View() const { return CCtrlBlock(m_block, *m_gbk); }
    const ICodePage& Gbk() const { return *m_gbk; }

private:
    std::unique_ptr<ICodePage> m_gbk = MakeGbkCodePage();
    relabel::Block m_block{};
    std::string m_error;
};
