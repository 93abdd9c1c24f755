#include <gtest/gtest.h>

#include <json/json.h>

#include <sstream>

#include "app/pe_image.h"
#include "app/update_accept.h"
#include "base/base64.h"
#include "relabel/ctrlblock_cli.h"
#include "relabel/update_signer.h"
#include "relabel/updatesign_cli.h"
#include "tests/native/labelled_pe.h"

namespace fs = std::filesystem;

namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

int Shell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// An installed reference build (3.0.0.1) that trusts a fresh key, and its
// next version (3.0.0.2) labelled the same way, as the operator ships them.
class UpdateSignTest : public testing::Test {
protected:
    void SetUp() override {
        const Result keygen = Run({"keygen", Path("key.pem")});
        ASSERT_EQ(keygen.status, 0) << keygen.err;
        m_publicKey = keygen.out.substr(0, keygen.out.find('\n'));
        WriteBytes(m_dir / "installed.exe", LabelledTestPe({{"UpdateKey", m_publicKey}}));
        WriteBytes(m_dir / "next.exe", LabelledTestPe({{"UpdateKey", m_publicKey}, {"ClientVersion", "3.0.0.2"}}));
    }

    Result Run(std::vector<std::string> args) {
        std::ostringstream out, err;
        const int status = RunUpdateSign(args, out, err);
        return {status, out.str(), err.str()};
    }
    std::string Path(const std::string& name) const { return (m_dir / name).string(); }
    Result Describe(const std::string& program = "next.exe") {
        return Run({"describe", Path(program), "http://127.0.0.1:7251/update/next.exe", "-k", Path("key.pem"),
                    "-o", Path("next.json")});
    }
    Result Verify(const std::string& file = "next.exe") {
        return Run({"verify", Path("next.json"), Path(file), Path("installed.exe")});
    }

    CTempDir m_dir;
    std::string m_publicKey;
};

}  // namespace

TEST_F(UpdateSignTest, KeygenWritesAPrivateKeyOnceAndPrintsTheSlotText) {
    EXPECT_EQ(m_publicKey.size(), 124u);
    EXPECT_EQ(fs::status(m_dir / "key.pem").permissions() & (fs::perms::group_all | fs::perms::others_all),
              fs::perms::none);
    EXPECT_EQ(Run({"pubkey", Path("key.pem")}).out, m_publicKey + "\n");
    const auto before = ReadBytes(m_dir / "key.pem");
    EXPECT_EQ(Run({"keygen", Path("key.pem")}).status, 2) << "a key is never overwritten";
    EXPECT_EQ(ReadBytes(m_dir / "key.pem"), before);
    // The slot text is what openssl itself makes of the private key.
    ASSERT_EQ(Shell("openssl ec -in " + Path("key.pem") + " -pubout -outform DER 2>/dev/null | base64 -w0 >" +
                    Path("pub.b64")),
              0);
    EXPECT_EQ(ReadText(m_dir / "pub.b64"), m_publicKey);
}

TEST_F(UpdateSignTest, DescribeWritesWhatTheClientAccepts) {
    const Result describe = Describe();
    ASSERT_EQ(describe.status, 0) << describe.err;
    EXPECT_EQ(describe.err, "");
    const std::string text = ReadText(m_dir / "next.json");
    Json::Value root;
    std::istringstream in(text);
    ASSERT_TRUE(Json::parseFromStream(Json::CharReaderBuilder(), in, &root, nullptr));
    EXPECT_EQ(root.getMemberNames(), (std::vector<std::string>{"sha256", "signature", "size", "tag", "url", "version"}));

    UpdateInfo info;
    ASSERT_TRUE(ParseUpdateInfo(text, info));
    EXPECT_EQ(info.version, "3.0.0.2");
    EXPECT_TRUE(info.tag.ends_with("3002")) << info.tag;
    EXPECT_EQ(info.tag.size(), 32u);
    bool ok = false;
    const BuildIdentity installed = ReadBuildIdentity(ReadBytes(m_dir / "installed.exe"), ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(CheckUpdateFile(info, m_publicKey, installed, ReadBytes(m_dir / "next.exe"), COpenSslVerifier()),
              UpdateVerdict::Accepted);
    const Result verify = Verify();
    EXPECT_EQ(verify.status, 0) << verify.err;
    EXPECT_NE(verify.out.find("accepted"), std::string::npos);
}

TEST_F(UpdateSignTest, ASignatureMadeByHandWithOpensslIsAcceptedLikeTheTools) {
    ASSERT_EQ(Describe().status, 0);
    ASSERT_EQ(Shell("openssl dgst -sha256 -sign " + Path("key.pem") + " -out " + Path("sig") + " " + Path("next.exe")),
              0);
    const std::string text = ReadText(m_dir / "next.json");
    UpdateInfo tools;
    ASSERT_TRUE(ParseUpdateInfo(text, tools));
    // ECDSA signatures differ at each signing: the hand-made one replaces the tool's.
    const std::string hand = Base64Encode(ReadBytes(m_dir / "sig"));
    ASSERT_NE(hand, tools.signature);
    std::string edited = text;
    edited.replace(edited.find(tools.signature), tools.signature.size(), hand);
    WriteBytes(m_dir / "next.json", std::vector<uint8_t>(edited.begin(), edited.end()));
    const Result verify = Verify();
    EXPECT_EQ(verify.status, 0) << verify.err;

    // And the same signature over other bytes is refused.
    auto tampered = ReadBytes(m_dir / "next.exe");
    tampered[0x100] ^= 0x80;
    WriteBytes(m_dir / "tampered.exe", tampered);
    ASSERT_EQ(Shell("openssl dgst -sha256 -sign " + Path("key.pem") + " -out " + Path("sig2") + " " +
                    Path("tampered.exe")),
              0);
    edited.replace(edited.find(hand), hand.size(), Base64Encode(ReadBytes(m_dir / "sig2")));
    WriteBytes(m_dir / "next.json", std::vector<uint8_t>(edited.begin(), edited.end()));
    const Result refused = Verify();
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("signature"), std::string::npos) << refused.err;
}

TEST_F(UpdateSignTest, VerifyRefusesWhatTheInstalledClientWouldRefuse) {
    ASSERT_EQ(Describe().status, 0);
    WriteBytes(m_dir / "other-key.exe", LabelledTestPe({{"ClientVersion", "3.0.0.2"}, {"UpdateDomains", "x.org"}}));
    const struct {
        const char* what;
        std::string installedLabel;  // UpdateDomains of the installed build
        std::string description;     // replaces next.json when not empty
        std::string file;
        const char* reason;
    } cases[] = {
        {"another file", "127.0.0.1", "", "other-key.exe", "SHA-256"},
        {"address outside the domains", "maker.example", "", "next.exe", "UpdateDomains"},
        {"not a description", "127.0.0.1", "{}", "next.exe", "well-formed"},
    };
    const std::string good = ReadText(m_dir / "next.json");
    for (const auto& c : cases) {
        WriteBytes(m_dir / "installed.exe", LabelledTestPe({{"UpdateKey", m_publicKey}, {"UpdateDomains", c.installedLabel}}));
        const std::string& description = c.description.empty() ? good : c.description;
        WriteBytes(m_dir / "next.json", std::vector<uint8_t>(description.begin(), description.end()));
        const Result r = Verify(c.file);
        EXPECT_EQ(r.status, 1) << c.what;
        EXPECT_NE(r.err.find(c.reason), std::string::npos) << c.what << ": " << r.err;
    }
}

TEST_F(UpdateSignTest, DescribeRefusesAddressesTheClientWouldNotTakeAndWarnsAboutKeys) {
    EXPECT_EQ(Run({"describe", Path("next.exe"), "ftp://127.0.0.1/next.exe", "-k", Path("key.pem")}).status, 2);
    EXPECT_EQ(Run({"describe", Path("next.exe"), "http://127.0.0.1/a b.exe", "-k", Path("key.pem")}).status, 2);
    EXPECT_EQ(Run({"describe", Path("next.exe"), "http://127.0.0.1/", "-k", Path("next.exe")}).status, 2);
    EXPECT_EQ(Run({"describe", Path("next.exe"), "http://127.0.0.1/"}).status, 2) << "no key";
    WriteBytes(m_dir / "keyless.exe", LabelledTestPe({{"ClientVersion", "3.0.0.2"}}));
    const Result keyless = Run({"describe", Path("keyless.exe"), "http://127.0.0.1/k.exe", "-k", Path("key.pem")});
    EXPECT_EQ(keyless.status, 0);
    EXPECT_NE(keyless.err.find("UpdateKey"), std::string::npos) << keyless.err;
    UpdateInfo info;
    EXPECT_TRUE(ParseUpdateInfo(keyless.out, info)) << "without -o the description goes to stdout";
}

// The release signs after relabelling; a relabel of a signed program drops
// the signature it would break, and says so.
TEST(CtrlBlockSigned, RelabelDropsTheAuthenticodeSignature) {
    CTempDir dir;
    const auto path = [&](const char* name) { return (dir / name).string(); };
    ASSERT_EQ(Shell("openssl req -x509 -newkey rsa:2048 -nodes -keyout " + path("k.pem") + " -out " + path("c.pem") +
                    " -days 2 -subj /CN=test -addext extendedKeyUsage=codeSigning >/dev/null 2>&1"),
              0);
    ASSERT_EQ(Shell("osslsigncode sign -certs " + path("c.pem") + " -key " + path("k.pem") + " -in " +
                    BuiltProgram().string() + " -out " + path("signed.exe") + " >/dev/null"),
              0);
    ASSERT_EQ(Shell("osslsigncode verify -CAfile " + path("c.pem") + " -in " + path("signed.exe") + " >/dev/null 2>&1"), 0);

    const auto gbk = MakeGbkCodePage();
    std::ostringstream out, err;
    const std::vector<std::string> fromSigned = {"set", path("signed.exe"), "-o", path("a.exe"), "Cid=77"};
    ASSERT_EQ(RunCtrlBlock(fromSigned, out, err, *gbk), 0) << err.str();
    EXPECT_NE(err.str().find("Authenticode"), std::string::npos) << err.str();
    std::ostringstream quiet;
    const std::vector<std::string> fromPlain = {"set", BuiltProgram().string(), "-o", path("b.exe"), "Cid=77"};
    ASSERT_EQ(RunCtrlBlock(fromPlain, out, quiet, *gbk), 0);
    EXPECT_EQ(quiet.str().find("Authenticode"), std::string::npos) << quiet.str();

    // The same bytes as a relabel of the unsigned program, but for the
    // checksum and the signer's alignment padding.
    auto a = ReadBytes(path("a.exe"));
    auto b = ReadBytes(path("b.exe"));
    ASSERT_GE(a.size(), b.size());
    ASSERT_LT(a.size() - b.size(), 8u);
    EXPECT_TRUE(std::all_of(a.begin() + static_cast<std::ptrdiff_t>(b.size()), a.end(), [](uint8_t x) { return x == 0; }));
    const size_t checksumAt = a[0x3C] + (a[0x3D] << 8) + 24 + 64;
    a.resize(b.size());
    std::fill_n(a.begin() + static_cast<std::ptrdiff_t>(checksumAt), 4, 0);
    std::fill_n(b.begin() + static_cast<std::ptrdiff_t>(checksumAt), 4, 0);
    EXPECT_TRUE(a == b);
    EXPECT_NE(Shell("osslsigncode verify -CAfile " + path("c.pem") + " -in " + path("a.exe") + " >/dev/null 2>&1"), 0);
}
