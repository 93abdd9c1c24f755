#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "base/code_page.h"
#include "app/ctrl_layout.h"

// Probed at start when the block names no address of its own.
inline constexpr wchar_t kBuiltInProbeUrl[] = L"http://www.baidu.com/";

// Read-only view of a control block with one accessor per slot the program
// reads. Every accessor converts the slot's bytes through the code page on
// each call; nothing is cached, since the block is constant anyway.
class CCtrlBlock {
public:
    CCtrlBlock(std::span<const uint8_t, ctrl::kBlockSize> bytes, const ICodePage& codePage)
        : m_bytes(bytes), m_codePage(codePage) {}

    std::wstring DisplayName() const { return Text(ctrl::Slot::DisplayName); }
    std::wstring LaunchSwitch() const { return Text(ctrl::Slot::LaunchSwitch); }
    std::wstring TitleName() const { return Text(ctrl::Slot::TitleName); }
    std::wstring LoginPageUrl() const { return Text(ctrl::Slot::LoginPageUrl); }
    std::wstring ExitPageUrl() const { return Text(ctrl::Slot::ExitPageUrl); }
    std::wstring RefererUrl() const { return Text(ctrl::Slot::RefererUrl); }
    std::wstring ClientVersion() const { return Text(ctrl::Slot::ClientVersion); }
    std::wstring GameCode() const { return Text(ctrl::Slot::GameCode); }
    std::wstring ShortName() const { return Text(ctrl::Slot::ShortName); }
    std::wstring StatTag() const { return Text(ctrl::Slot::StatTag); }
    std::wstring Agid() const { return Text(ctrl::Slot::Agid); }
    std::wstring Cid() const { return Text(ctrl::Slot::Cid); }
    std::wstring Aid() const { return Text(ctrl::Slot::Aid); }
    std::wstring Oid() const { return Text(ctrl::Slot::Oid); }
    std::wstring Oid1() const { return Text(ctrl::Slot::Oid1); }
    std::wstring Oid2() const { return Text(ctrl::Slot::Oid2); }
    std::wstring BuildTag() const { return Text(ctrl::Slot::BuildTag); }

    std::wstring PortalHost() const { return Text(ctrl::Slot::PortalHost); }
    std::wstring PayHost() const { return Text(ctrl::Slot::PayHost); }
    std::wstring ClientStatHost() const { return Text(ctrl::Slot::ClientStatHost); }
    std::wstring DeviceStatHost() const { return Text(ctrl::Slot::DeviceStatHost); }
    std::wstring EventStatHost() const { return Text(ctrl::Slot::EventStatHost); }
    std::wstring OnlineStatHost() const { return Text(ctrl::Slot::OnlineStatHost); }
    std::wstring PartnerHost() const { return Text(ctrl::Slot::PartnerHost); }
    std::wstring QqOAuthHost() const { return Text(ctrl::Slot::QqOAuthHost); }
    std::wstring GameHallHost() const { return Text(ctrl::Slot::GameHallHost); }
    // An empty slot would fail every start with "no network": it falls back
    // to a public address.
    std::wstring ProbeUrl() const {
        std::wstring url = Text(ctrl::Slot::ProbeUrl);
        return url.empty() ? std::wstring(kBuiltInProbeUrl) : url;
    }
    std::wstring UpdateDomains() const { return Text(ctrl::Slot::UpdateDomains); }
    std::wstring ExpectedTag() const { return Text(ctrl::Slot::ExpectedTag); }
    // Empty: this build takes no updates.
    std::wstring UpdateKey() const { return Text(ctrl::Slot::UpdateKey); }

    uint32_t BuildFlags() const;
    bool IsFlagSet(unsigned bit) const { return bit < 32 && ((BuildFlags() >> bit) & 1u) != 0; }

    // The slot's bytes before its first NUL, at most kSlotTextMax of them.
    std::string_view SlotBytes(ctrl::Slot slot) const;

private:
    std::wstring Text(ctrl::Slot slot) const { return m_codePage.ToWide(SlotBytes(slot)); }

    std::span<const uint8_t, ctrl::kBlockSize> m_bytes;
    const ICodePage& m_codePage;
};

// The running program's own block, read with the system ANSI code page.
// Defined by the Windows layer over the linked `.ctrl` section.
const CCtrlBlock& TheCtrlBlock();
