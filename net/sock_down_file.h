#pragma once

#include <string>

#include "net/sock_base.h"
#include "net/work_file.h"

// Downloads one file to disk over CSockBase: a probe for the length and
// ETag, then the transfer into a work file that a later round (or a later
// run of the program) resumes with a "Range" request, and a final move into
// place. Up to five rounds, each with a fresh probe.
class CSockDownFile : public CSockBase {
public:
    static constexpr int kRounds = 5;
    // Largest single receive of a body.
    static constexpr size_t kReceiveBuffer = 64 * 1024;

    CSockDownFile() = default;
    virtual ~CSockDownFile() = default;

    // Called with 0 to 100 while the file arrives and 100 once it is in place.
    virtual void OnProgress(int percent) { (void)percent; }

    bool DownloadFile(const std::wstring& destination, const std::wstring& address);

    // The CheckResponse answer, or 1 when the destination or address is missing.
    int Probe(const std::wstring& destination, const std::wstring& address);
    bool Transfer();

    // Where a transfer keeps the part received so far.
    std::wstring WorkFilePath() const;

private:
    bool TransferResumable();
    bool TransferWhole();
    // Reads the body after the header into `file` until `total` bytes are
    // there or the connection ends; returns the bytes received.
    int64_t ReceiveBody(std::FILE* file, int64_t offset);
    void ReportProgress(int64_t done);

    std::wstring m_szFile;
};
