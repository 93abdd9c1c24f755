#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/ctrl_layout.h"
#include "app/update_apply.h"
#include "base/base64.h"
#include "net/sha256.h"
#include "tests/native/labelled_pe.h"

// The update's roads through the system, against a host whose files live in
// memory: which moves happen where, and what is undone. The checks
// themselves and the real file system are the end-to-end test's.

namespace {

using Bytes = std::vector<unsigned char>;

const Bytes kGoodSignature{0x30, 0x01};

// Accepts exactly the one signature the tests call good.
class CFakeVerifier final : public UpdateSignatureVerifier {
public:
    bool Verify(const Bytes&, const Bytes& signature, const unsigned char*, size_t) const override {
        return signature == kGoodSignature;
    }
};

class CMemoryHost final : public IUpdateHost {
public:
    std::map<std::wstring, Bytes> files;
    std::string description;
    Bytes offered;
    bool writable = true;
    bool startOk = true;
    std::wstring failMoveFrom;  // moving this file fails
    bool elevatedOk = true;
    std::vector<std::wstring> elevatedArguments;
    std::vector<std::wstring> started;
    int fetches = 0;
    // Stands in for the elevated copy: runs its work on this same host.
    std::function<bool(const std::vector<std::wstring>&)> elevated;

    std::string FetchText(const std::wstring&) override {
        ++fetches;
        return description;
    }
    bool Download(const std::wstring&, const std::wstring& destination, uint64_t) override {
        files[destination] = offered;
        return true;
    }
    bool ReadFile(const std::wstring& path, uint64_t limit, Bytes& bytes) override {
        const auto found = files.find(path);
        if (found == files.end()) return false;
        bytes.assign(found->second.begin(), found->second.begin() + std::min<size_t>(found->second.size(), limit + 1));
        return true;
    }
    bool WriteFile(const std::wstring& path, const Bytes& bytes) override {
        files[path] = bytes;
        return true;
    }
    void RemoveFile(const std::wstring& path) override { files.erase(path); }
    bool MoveFile(const std::wstring& from, const std::wstring& to) override {
        if (from == failMoveFrom || !files.count(from)) return false;
        files[to] = files[from];
        files.erase(from);
        return true;
    }
    bool CanWriteFolder(const std::wstring&) override { return writable; }
    bool ReplaceElevated(const std::vector<std::wstring>& arguments) override {
        elevatedArguments = arguments;
        return elevatedOk && elevated && elevated(arguments);
    }
    bool StartProgram(const std::wstring& path) override {
        started.push_back(path);
        return startOk;
    }
};

class UpdateApplyTest : public testing::Test {
protected:
    void SetUp() override {
        m_host = CMemoryHost();
        bool isProgram = false;
        m_context.running = ReadBuildIdentity(LabelledTestPe({{"ClientVersion", "3.0.0.1"}}), isProgram);
        ASSERT_TRUE(isProgram);
        m_context.updateKey = Base64Encode(Bytes{1, 2, 3});
        m_context.domains = L"127.0.0.1";
        m_context.descriptionAddress = L"http://127.0.0.1/info";
        m_context.program = L"C:\\Game\\doln.exe";
        m_context.tempFolder = L"C:\\Temp\\";
        m_old = Bytes{'o', 'l', 'd'};
        m_host.files[m_context.program] = m_old;

        const Bytes file = LabelledTestPe({{"ClientVersion", "3.0.0.2"}});
        m_offered = file;
        m_host.offered = m_offered;
        m_info = {"3.0.0.2", "tag3002", "http://127.0.0.1/new.exe", std::to_string(file.size()),
                  Sha256Hex(file.data(), file.size()), Base64Encode(kGoodSignature)};
        m_host.description = Describe(m_info);
        m_host.elevated = [this](const std::vector<std::wstring>& arguments) {
            return RunElevatedReplace(arguments, m_context, m_host, m_verifier);
        };
    }

    static std::string Describe(const UpdateInfo& info) {
        return "{\"version\":\"" + info.version + "\",\"tag\":\"" + info.tag + "\",\"url\":\"" + info.url +
               "\",\"size\":\"" + info.size + "\",\"sha256\":\"" + info.sha256 + "\",\"signature\":\"" +
               info.signature + "\"}";
    }

    const Bytes& Program() { return m_host.files[m_context.program]; }

    UpdateContext m_context;
    CMemoryHost m_host;
    CFakeVerifier m_verifier;
    UpdateInfo m_info;
    Bytes m_old, m_offered;
};

}  // namespace

TEST_F(UpdateApplyTest, AWritableFolderIsReplacedInPlaceAndTheNewProgramStarted) {
    EXPECT_EQ(RunUpdate(m_context, m_host, m_verifier), UpdateOutcome::Replaced);
    EXPECT_EQ(Program(), m_offered);
    EXPECT_EQ(m_host.files[UpdateAsidePath(m_context.program)], m_old) << "renamed aside for the next start";
    EXPECT_FALSE(m_host.files.count(UpdateWorkPath(m_context.program)));
    EXPECT_TRUE(m_host.elevatedArguments.empty()) << "no elevation where the user may write";
    EXPECT_EQ(m_host.started, std::vector<std::wstring>{m_context.program});
}

TEST_F(UpdateApplyTest, AFolderTheUserMayNotWriteIsReplacedByTheElevatedCopy) {
    m_host.writable = false;
    EXPECT_EQ(RunUpdate(m_context, m_host, m_verifier), UpdateOutcome::Replaced);
    ASSERT_EQ(m_host.elevatedArguments.size(), 5u);
    EXPECT_EQ(m_host.elevatedArguments[0], L"C:\\Temp\\doln.exe.new") << "downloaded where the user may write";
    EXPECT_EQ(Program(), m_offered);
    EXPECT_FALSE(m_host.files.count(m_host.elevatedArguments[0])) << "the user's work file is removed";
    EXPECT_EQ(m_host.started, std::vector<std::wstring>{m_context.program}) << "started by the user's process";

    // Refused at the prompt: nothing changes.
    SetUp();
    m_host.writable = false;
    m_host.elevatedOk = false;
    EXPECT_EQ(RunUpdate(m_context, m_host, m_verifier), UpdateOutcome::Failed);
    EXPECT_EQ(Program(), m_old);
    EXPECT_EQ(m_host.files.size(), 1u) << "no work file is left";
    EXPECT_TRUE(m_host.started.empty());
}

TEST_F(UpdateApplyTest, TheElevatedCopyInstallsOnlyBytesItCheckedItself) {
    const std::wstring work = L"C:\\Temp\\doln.exe.new";
    const std::vector<std::wstring> arguments = ElevatedReplaceArguments(work, m_info);
    Bytes changed = m_offered;
    changed[0x10] ^= 1;
    m_host.files[work] = changed;  // swapped after the user's process checked it
    EXPECT_FALSE(RunElevatedReplace(arguments, m_context, m_host, m_verifier));
    EXPECT_EQ(Program(), m_old);
    EXPECT_FALSE(RunElevatedReplace(std::vector<std::wstring>(arguments.begin(), arguments.begin() + 4), m_context,
                                    m_host, m_verifier))
        << "arguments missing";
    m_host.files[work] = m_offered;
    EXPECT_TRUE(RunElevatedReplace(arguments, m_context, m_host, m_verifier));
    EXPECT_EQ(Program(), m_offered);
}

TEST_F(UpdateApplyTest, FailuresAfterTheChecksPutTheOldProgramBack) {
    struct Case {
        const char* what;
        bool failMoveInto;
        bool startOk;
    } cases[] = {
        {"the new file cannot be moved into place", true, true},
        {"the new program cannot start", false, false},
    };
    for (const auto& c : cases) {
        SetUp();
        if (c.failMoveInto) m_host.failMoveFrom = UpdateWorkPath(m_context.program);
        m_host.startOk = c.startOk;
        EXPECT_EQ(RunUpdate(m_context, m_host, m_verifier), UpdateOutcome::Failed) << c.what;
        EXPECT_EQ(Program(), m_old) << c.what;
        EXPECT_FALSE(m_host.files.count(UpdateWorkPath(m_context.program))) << c.what;
    }
}

TEST_F(UpdateApplyTest, ABuildWithoutAKeyIsNotOfferedUpdates) {
    m_context.updateKey.clear();
    EXPECT_EQ(RunUpdate(m_context, m_host, m_verifier), UpdateOutcome::NotOffered);
    EXPECT_EQ(m_host.fetches, 0);
    EXPECT_EQ(Program(), m_old);
}
