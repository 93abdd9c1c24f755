#include "net/sock_down_file.h"

#include <vector>

#include "tools/file_tree.h"

namespace {

bool IsAccepted(const std::string& header) {
    const std::string status = header.substr(0, header.find("\r\n"));
    return status.find(" 200 ") != std::string::npos || status.find(" 206 ") != std::string::npos;
}

bool IsWhole(const std::string& header) {
    return header.substr(0, header.find("\r\n")).find(" 200 ") != std::string::npos;
}

}  // namespace

bool CSockDownFile::DownloadFile(const std::wstring& destination, const std::wstring& address) {
    for (int round = 1;; ++round) {
        if (Probe(destination, address) != kAccepted) return false;
        const bool result = CreateSocket() && ConnectHost(m_pszHost) && SetRecvTimeout(m_nRecvTimeout) && Transfer();
        CloseSocket();
        if (result || round == kRounds) return result;
    }
}

int CSockDownFile::Probe(const std::wstring& destination, const std::wstring& address) {
    if (destination.empty() || address.empty()) return kNoResponse;
    Reset();
    m_szFile = destination;
    if (!ParseUrl(address) || !InitWinsock() || !CreateSocket() || !ConnectHost(m_pszHost) ||
        !SetRecvTimeout(m_nRecvTimeout) || !BuildRequest(m_pszHost, m_pszPath, 0) || !SendRequest())
        return kNoResponse;
    if (!RecvHeader()) return kNoResponse;
    return CheckResponse();
}

bool CSockDownFile::Transfer() { return m_pszEtagName.empty() ? TransferWhole() : TransferResumable(); }

std::wstring CSockDownFile::WorkFilePath() const {
    if (m_pszEtagName.empty()) return m_szFile + L".~tmp";
    const std::wstring name = WireCodePage().ToWide(m_pszEtagName);
    std::wstring folder;
    if (!SplitPath(m_szFile, &folder, nullptr)) return name;
    // The separator the destination uses; Windows takes either.
    const wchar_t separator = m_szFile[folder.size()];
    return folder + separator + name;
}

void CSockDownFile::ReportProgress(int64_t done) {
    if (m_nContentLength > 0) OnProgress(static_cast<int>(done * 100 / m_nContentLength));
}

int64_t CSockDownFile::ReceiveBody(std::FILE* file, int64_t offset) {
    int64_t received = 0;
    // Sized for throughput: with 1 KiB reads every receive, write and flush
    // cost more than the bytes they moved, at under half of curl's speed.
    std::vector<char> buffer(kReceiveBuffer);
    // Never more than the probe announced, so a server that sends on after
    // the content cannot grow the file.
    while (offset + received < m_nContentLength) {
        const int64_t left = m_nContentLength - offset - received;
        const size_t want = left < static_cast<int64_t>(buffer.size()) ? static_cast<size_t>(left) : buffer.size();
        const long n = sock::Recv(m_sock, buffer.data(), want);
        if (n <= 0) break;
        // Written and flushed at once: the work file's size is always the
        // count of bytes received, which is what a resume starts from.
        if (std::fwrite(buffer.data(), 1, static_cast<size_t>(n), file) != static_cast<size_t>(n) || std::fflush(file) != 0)
            break;
        received += n;
        ReportProgress(offset + received);
    }
    return received;
}

bool CSockDownFile::TransferResumable() {
    const std::wstring work = WorkFilePath();
    // The destination must be writable; it keeps its old content until the
    // finished file replaces it.
    OpenDenyWrite(m_szFile, "ab");
    UniqueFile file = OpenDenyWrite(work, "ab");
    if (!file) return false;
    int64_t offset = FileSize(file.get());
    if (offset < 0) return false;
    if (offset > m_nContentLength) {
        file = OpenDenyWrite(work, "wb");
        if (!file) return false;
        offset = 0;
    }
    int64_t received = 0;
    if (offset < m_nContentLength) {
        if (!BuildRequest(m_pszHost, m_pszPath, offset) || !SendRequest() || !RecvHeader() ||
            !IsAccepted(m_pszHeader))
            return false;
        if (offset > 0 && IsWhole(m_pszHeader)) {
            // The server ignored the range and sends the whole file.
            file = OpenDenyWrite(work, "wb");
            if (!file) return false;
            offset = 0;
        }
        received = ReceiveBody(file.get(), offset);
    }
    file.reset();
    if (offset + received < m_nContentLength) return false;
    const bool moved = MoveReplacing(work, m_szFile);
    OnProgress(100);
    return moved;
}

bool CSockDownFile::TransferWhole() {
    const std::wstring work = WorkFilePath();
    UniqueFile file = OpenDenyWrite(work, "wb");
    if (!file) return false;
    if (!BuildRequest(m_pszHost, m_pszPath, 0) || !SendRequest() || !RecvHeader() || !IsAccepted(m_pszHeader))
        return false;
    const int64_t received = ReceiveBody(file.get(), 0);
    file.reset();
    if (received < m_nContentLength) return false;
    // Replacing: an existing destination (the icon of the last refresh) must
    // not turn a complete download into a failure.
    const bool moved = MoveReplacing(work, m_szFile);
    OnProgress(100);
    return moved;
}
