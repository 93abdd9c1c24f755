#include <windows.h>

#include <gtest/gtest.h>

#include <shlobj.h>

#include <mutex>
#include <string>

#include "app/settings_store_win.h"
#include "net/sha256.h"
#include "tests/e2e/client_run_win.h"
#include "tests/e2e/update_signer_win.h"
#include "tests/win/loopback_server_win.h"

// The "/update" start of an installed client against a loopback portal that
// offers a newer build, good or spoiled in one way per case. Whatever the
// case, the installed program's bytes afterwards are either the new build's
// (which then starts) or exactly the old ones (and the old client starts).

namespace {

constexpr char kSection[] = "E2eUpd";
constexpr wchar_t kFailedText[] = L"更新失败，将继续使用当前版本。";

std::wstring InstallFolder() { return CommonAppDataFolder() + L"\\7251\\GameLogin"; }

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool WriteWhole(const std::wstring& path, const std::string& bytes) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    CloseHandle(file);
    return ok;
}

enum class Body { Whole, Tampered, Truncated, Oversize, Missing };

struct Case {
    const char* what;
    bool replaced = false;
    std::string version = "3.0.0.2";  // the offered build's own and the description's
    std::string cid = "";             // the offered build's Cid; empty: the running one's
    TestKey signer = TestKey::A;
    Body body = Body::Whole;
    bool foreignAddress = false;
    bool withoutSignature = false;
    bool asideBlocked = false;
};

// A started client's main frame, seen from outside: closes it and waits for
// its process to end.
bool CloseClientOf(HWND frame) {
    DWORD pid = 0;
    GetWindowThreadProcessId(frame, &pid);
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    PostMessageW(frame, WM_SYSCOMMAND, SC_CLOSE, 7251);
    const bool ended = process != nullptr && WaitForSingleObject(process, 20000) == WAIT_OBJECT_0;
    if (process != nullptr) CloseHandle(process);
    return ended;
}

class UpdateEndToEnd : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_image.Loaded());
        SHCreateDirectoryExW(nullptr, InstallFolder().c_str(), nullptr);
        m_program = InstallFolder() + L"\\E2eUpd.exe";
        ASSERT_TRUE(m_image.Write(m_program, Slots("3.0.0.1", "")));
        m_old = ReadWholeFile(m_program);
        // Today's background check counts as done, so that the clients
        // started here ask no question of their own.
        SYSTEMTIME now;
        GetLocalTime(&now);
        const std::wstring today =
            std::to_wstring(now.wYear) + L"/" + std::to_wstring(now.wMonth) + L"/" + std::to_wstring(now.wDay);
        WritePrivateProfileStringW(L"E2eUpd", L"UpdateDay", today.c_str(), SettingsFilePath().c_str());
    }
    void TearDown() override {
        DeleteFileW(m_program.c_str());
        DeleteFileW((m_program + L".old").c_str());
        DeleteFileW((m_program + L".new").c_str());
        WritePrivateProfileStringW(L"E2eUpd", nullptr, nullptr, SettingsFilePath().c_str());
    }

    SlotValues Slots(const std::string& version, const std::string& cid) const {
        SlotValues slots = LoopbackSlots(m_server.HostPort(), kSection);
        slots.push_back({"ClientVersion", version});
        slots.push_back({"UpdateDomains", "127.0.0.1"});
        slots.push_back({"UpdateKey", TestUpdateKey(TestKey::A)});
        if (!cid.empty()) slots.push_back({"Cid", cid});
        return slots;
    }

    // What the portal offers for `c`: the file and its description.
    void Offer(const Case& c) {
        const std::wstring made = InstallFolder() + L"\\E2eUpd-offer.exe";
        ASSERT_TRUE(m_image.Write(made, Slots(c.version, c.cid)));
        const std::string file = ReadWholeFile(made);
        DeleteFileW(made.c_str());
        const std::string signature = TestSignature(c.signer, file);
        ASSERT_FALSE(signature.empty()) << "CNG signs";
        const std::string host = c.foreignAddress ? "localhost:" + std::to_string(m_server.Port()) : m_server.HostPort();
        std::string description = "{\"version\":\"" + c.version + "\",\"tag\":\"0123456789abcdef01234567" +
                                  "3002\",\"url\":\"http://" + host + "/files/new.exe\",\"size\":\"" +
                                  std::to_string(file.size()) + "\",\"sha256\":\"" + Sha256Hex(file.data(), file.size()) + "\"";
        if (!c.withoutSignature) description += ",\"signature\":\"" + signature + "\"";
        description += "}";
        std::lock_guard<std::mutex> hold(m_lock);
        m_file = file;
        m_description = "update(" + description + ");";
        m_body = c.body;
    }

    void Serve(CWinLoopbackServer::CConn& conn, const std::string& request) {
        const std::string line = request.substr(0, request.find("\r\n"));
        const std::string target = line.substr(line.find(' ') + 1);
        std::lock_guard<std::mutex> hold(m_lock);
        if (target.find("_a=getUpdateInfo") != std::string::npos) {
            conn.Reply("200 OK", m_description);
        } else if (target.rfind("/files/new.exe", 0) == 0) {
            std::string body = m_file;
            switch (m_body) {
                case Body::Whole: conn.Reply("200 OK", body); break;
                case Body::Tampered:
                    body[body.size() / 2] ^= 0x01;
                    conn.Reply("200 OK", body);
                    break;
                case Body::Truncated:
                    conn.Send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
                              body.substr(0, body.size() / 2));
                    break;
                case Body::Oversize:
                    // The client refuses it from its length and reads on no
                    // further: the rest would never leave this server.
                    conn.Send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size() + 4096) +
                              "\r\n\r\n" + body.substr(0, 4096));
                    break;
                case Body::Missing: conn.Reply("404 Not Found", "no such file"); break;
            }
        } else {
            conn.Reply("200 OK", "");
        }
    }

    CClientImage m_image;
    std::wstring m_program;
    std::string m_old;
    std::mutex m_lock;
    std::string m_file, m_description;
    Body m_body = Body::Whole;
    CWinLoopbackServer m_server{[this](auto& conn, const std::string& request) { Serve(conn, request); }};
};

}  // namespace

TEST_F(UpdateEndToEnd, OnlyASoundNewerBuildOfTheSameChannelReplacesTheProgram) {
    const Case cases[] = {
        {.what = "a tampered byte", .body = Body::Tampered},
        {.what = "signed by another key", .signer = TestKey::B},
        {.what = "a truncated body", .body = Body::Truncated},
        {.what = "a body longer than its size", .body = Body::Oversize},
        {.what = "the file is not found", .body = Body::Missing},
        {.what = "an older version", .version = "3.0.0.0"},
        {.what = "another channel's build", .cid = "9999"},
        {.what = "an address outside the update domains", .foreignAddress = true},
        {.what = "a description without its signature", .withoutSignature = true},
        {.what = "the program cannot be renamed aside", .asideBlocked = true},
        {.what = "a sound update", .replaced = true},
    };
    const std::wstring aside = m_program + L".old";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteWhole(m_program, m_old));
        Offer(c);
        // A folder of that name cannot be replaced by a file.
        if (c.asideBlocked) {
            CreateDirectoryW(aside.c_str(), nullptr);
            WriteWhole(aside + L"\\keep", "x");
        }
        m_server.Clear();
        const RunResult run = RunClient(m_program, L"/update");
        EXPECT_TRUE(run.ended);
        EXPECT_FALSE(Exists(m_program + L".new")) << "the work file is removed";
        if (c.asideBlocked) {
            DeleteFileW((aside + L"\\keep").c_str());
            RemoveDirectoryW(aside.c_str());
        }
        if (!c.replaced) {
            EXPECT_TRUE(ReadWholeFile(m_program) == m_old) << "the installed program is untouched";
            ASSERT_EQ(run.boxes.size(), 1u);
            EXPECT_EQ(run.boxes[0].text, kFailedText);
            EXPECT_TRUE(run.sawLoginFace) << "the old client starts";
            continue;
        }
        EXPECT_TRUE(run.boxes.empty());
        EXPECT_FALSE(run.sawLoginFace) << "the old client does not open";
        EXPECT_TRUE(ReadWholeFile(m_program) == m_file) << "the new build is in place";
        // The new build starts as an installed start, which reports its version.
        HWND frame = nullptr;
        PumpUntil(30000, [&] { return (frame = FindWindowWhere(IsMainFrame)) != nullptr && IsWindowVisible(frame); });
        ASSERT_NE(frame, nullptr) << "the new build starts";
        const bool reported = PumpUntil(10000, [&] {
            for (const std::string& target : m_server.Targets())
                if (target.find("/active.htm?") == 0 && target.find("&ver=3.0.0.2") != std::string::npos) return true;
            return false;
        });
        EXPECT_TRUE(reported);
        EXPECT_TRUE(CloseClientOf(frame));
        EXPECT_TRUE(PumpUntil(10000, [&] { return !Exists(aside); })) << "the next start removes the old program";
    }
}
