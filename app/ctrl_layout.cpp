#include "app/ctrl_layout.h"

#include <array>

namespace ctrl {

namespace {

constexpr std::array kSlots = {
    SlotInfo{"DisplayName", Slot::DisplayName, SlotForm::Gbk},
    SlotInfo{"LaunchSwitch", Slot::LaunchSwitch, SlotForm::Ascii},
    SlotInfo{"TitleName", Slot::TitleName, SlotForm::Gbk},
    SlotInfo{"LoginPageUrl", Slot::LoginPageUrl, SlotForm::Ascii},
    SlotInfo{"ExitPageUrl", Slot::ExitPageUrl, SlotForm::Ascii},
    SlotInfo{"RefererUrl", Slot::RefererUrl, SlotForm::Ascii},
    SlotInfo{"ClientVersion", Slot::ClientVersion, SlotForm::Ascii},
    SlotInfo{"ExeName", Slot::ExeName, SlotForm::Ascii},
    SlotInfo{"GameCode", Slot::GameCode, SlotForm::Ascii},
    SlotInfo{"ConfigPage", Slot::ConfigPage, SlotForm::Ascii},
    SlotInfo{"ShortName", Slot::ShortName, SlotForm::Ascii},
    SlotInfo{"StatTag", Slot::StatTag, SlotForm::Ascii},
    SlotInfo{"Agid", Slot::Agid, SlotForm::Digits},
    SlotInfo{"Cid", Slot::Cid, SlotForm::Digits},
    SlotInfo{"Aid", Slot::Aid, SlotForm::Digits},
    SlotInfo{"Oid", Slot::Oid, SlotForm::Digits},
    SlotInfo{"Oid1", Slot::Oid1, SlotForm::Digits},
    SlotInfo{"Oid2", Slot::Oid2, SlotForm::Digits},
    SlotInfo{"BuildFlags", Slot::BuildFlags, SlotForm::Word},
    SlotInfo{"BuildTag", Slot::BuildTag, SlotForm::Ascii},
    SlotInfo{"PortalHost", Slot::PortalHost, SlotForm::Ascii},
    SlotInfo{"PayHost", Slot::PayHost, SlotForm::Ascii},
    SlotInfo{"ClientStatHost", Slot::ClientStatHost, SlotForm::Ascii},
    SlotInfo{"DeviceStatHost", Slot::DeviceStatHost, SlotForm::Ascii},
    SlotInfo{"EventStatHost", Slot::EventStatHost, SlotForm::Ascii},
    SlotInfo{"OnlineStatHost", Slot::OnlineStatHost, SlotForm::Ascii},
    SlotInfo{"PartnerHost", Slot::PartnerHost, SlotForm::Ascii},
    SlotInfo{"QqOAuthHost", Slot::QqOAuthHost, SlotForm::Ascii},
    SlotInfo{"GameHallHost", Slot::GameHallHost, SlotForm::Ascii},
    SlotInfo{"ProbeUrl", Slot::ProbeUrl, SlotForm::Ascii},
    SlotInfo{"UpdateDomains", Slot::UpdateDomains, SlotForm::Ascii},
    SlotInfo{"ExpectedTag", Slot::ExpectedTag, SlotForm::Ascii},
    SlotInfo{"UpdateKey", Slot::UpdateKey, SlotForm::Ascii},
};

}  // namespace

std::span<const SlotInfo> AllSlots() { return kSlots; }

const SlotInfo* FindSlot(std::string_view name) {
    for (const auto& info : kSlots) {
        if (info.name == name) return &info;
    }
    return nullptr;
}

std::string_view SlotText(std::span<const uint8_t, kBlockSize> block, Slot slot) {
    const auto* begin = reinterpret_cast<const char*>(block.data() + Offset(slot));
    size_t length = 0;
    while (length < kSlotTextMax && begin[length] != '\0') ++length;
    return {begin, length};
}

}  // namespace ctrl
