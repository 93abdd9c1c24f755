#include "app/beacon_urls.h"

#include "net/url_encode.h"

namespace {

// The event beacon is formatted into 1,024 characters; its encoded values
// never need more.
constexpr size_t kEncodedCapacity = 1024;

std::wstring ClientStatBase(const CCtrlBlock& block, std::wstring_view page) {
    return L"http://" + block.ClientStatHost() + L"/" + std::wstring(page) + L"?tag=" + block.StatTag() + L"&ver=" +
           block.ClientVersion();
}

}  // namespace

std::wstring InstallBeaconUrl(const CCtrlBlock& block, uint32_t count) {
    return ClientStatBase(block, L"install.htm") + L"&count=" + FormatUnsigned(count);
}

std::wstring ActiveBeaconUrl(const CCtrlBlock& block, const ActiveStats& stats) {
    return ClientStatBase(block, L"active.htm") + L"&count=" + FormatUnsigned(stats.count) +
           L"&apartdays=" + FormatInt(stats.apartdays) + L"&keepdays=" + FormatInt(stats.keepdays) +
           L"&weekdays=" + FormatInt(stats.weekdays);
}

std::wstring UninstallBeaconUrl(const CCtrlBlock& block, uint32_t count) {
    return ClientStatBase(block, L"uninstall.htm") + L"&count=" + FormatUnsigned(count);
}

std::wstring LoginBeaconUrl(const CCtrlBlock& block, std::wstring_view uid, int index) {
    return ClientStatBase(block, L"login.htm") + L"&uid=" + std::wstring(uid) + L"&index=" + FormatInt(index);
}

std::wstring DeviceParams(const CCtrlBlock& block, const DeviceIdentity& device) {
    return L"agid=" + block.Agid() + L"&cid=" + block.Cid() + L"&aid=" + block.Aid() + L"&game=" + block.GameCode() +
           L"&did=" + device.did + L"&vid=" + device.vid + L"&mac=" + device.mac;
}

std::wstring DeviceBeaconUrl(const CCtrlBlock& block, DeviceBeacon kind, std::wstring_view deviceParams) {
    const wchar_t* page = kind == DeviceBeacon::Install ? L"/_az.gif?" : L"/_xz.gif?";
    return L"http://" + block.DeviceStatHost() + page + std::wstring(deviceParams);
}

EventChannel BlockChannel(const CCtrlBlock& block) {
    return {block.Oid(), block.Oid1(), block.Oid2(), block.Cid(), block.Aid()};
}

EventChannel InstallEventChannel() { return {L"15845", L"15845", L"", L"39134", L"67985"}; }

std::wstring EventBeaconUrl(const CCtrlBlock& block, int event, std::wstring_view name, const EventChannel& channel,
                            std::wstring_view mac) {
    return L"http://" + block.EventStatHost() + L"/_regevent.gif?event=" + FormatInt(event) +
           L"&ename=" + UrlEncode(name, kEncodedCapacity) + L"&type=0&game=" + block.GameCode() +
           L"&oid=" + channel.oid + L"&oid1=" + channel.oid1 + L"&oid2=" + channel.oid2 + L"&cid=" + channel.cid +
           L"&aid=" + channel.aid + L"&lc=0&userSession=" + std::wstring(mac) + L"&newStat=0&referer=" +
           UrlEncode(block.RefererUrl(), kEncodedCapacity);
}
