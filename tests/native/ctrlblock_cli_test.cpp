#include <gtest/gtest.h>

#include <sstream>

#include "app/ctrl_layout.h"
#include "relabel/ctrlblock_cli.h"
#include "app/pe_image.h"
#include "tests/native/test_files.h"

namespace fs = std::filesystem;

namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

class CtrlBlockCliTest : public testing::Test {
protected:
    void SetUp() override {
        m_program = m_dir / "corvane.exe";
        fs::copy_file(BuiltProgram(), m_program);
        m_original = ReadBytes(m_program);
    }

    Result Run(std::vector<std::string> args) {
        std::ostringstream out, err;
        const int status = RunCtrlBlock(args, out, err, *m_gbk);
        return {status, out.str(), err.str()};
    }

    std::string Line(const std::string& show, const std::string& slot) {
        const size_t at = show.find("\n" + slot + "=");
        const size_t from = show.starts_with(slot + "=") ? 0 : (at == std::string::npos ? at : at + 1);
        if (from == std::string::npos) return "<missing>";
        return show.substr(from, show.find('\n', from) - from);
    }

    // Expects a refusal: status 2, one line on stderr, nothing written.
    void ExpectRefused(const std::vector<std::string>& args, const std::string& reasonPart) {
        const Result r = Run(args);
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_NE(r.err.find(reasonPart), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_FALSE(fs::exists(m_out)) << r.err;
        EXPECT_TRUE(ReadBytes(m_program) == m_original);
    }

    std::string CopyWith(const std::string& name, const std::function<void(std::vector<uint8_t>&)>& edit) {
        auto bytes = m_original;
        edit(bytes);
        WriteBytes(m_dir / name, bytes);
        return (m_dir / name).string();
    }

    size_t SectionHeaderOfCtrl() const {
        const std::string head(m_original.begin(), m_original.begin() + 4096);
        return head.find(std::string(".ctrl\0\0\0", 8));
    }

    CTempDir m_dir;
    fs::path m_program;
    fs::path m_out = m_dir / "out.exe";
    std::vector<uint8_t> m_original;
    std::unique_ptr<ICodePage> m_gbk = MakeGbkCodePage();
};

}  // namespace

TEST_F(CtrlBlockCliTest, ShowListsEverySlotOfTheReferenceBuild) {
    const Result r = Run({"show", m_program.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), static_cast<long>(ctrl::AllSlots().size()));
    EXPECT_TRUE(r.out.starts_with("DisplayName=Dolnrise\nLaunchSwitch=/Doln2D\nTitleName=Dolnrise\n")) << r.out;
    EXPECT_EQ(Line(r.out, "BuildFlags"), "BuildFlags=0x14E");
    EXPECT_EQ(Line(r.out, "PortalHost"), "PortalHost=127.0.0.1:7251");
    EXPECT_EQ(Line(r.out, "ExeName"), "ExeName=Doln2.exe");
    EXPECT_EQ(Line(r.out, "ConfigPage"), "ConfigPage=ConfigDoln2.htm");
    EXPECT_EQ(Line(r.out, "Oid2"), "Oid2=");
    EXPECT_EQ(Line(r.out, "ProbeUrl"), "ProbeUrl=http://127.0.0.1:7251/");
}

TEST_F(CtrlBlockCliTest, SetWritesANewProgramAndLeavesTheOldOne) {
    const Result set = Run({"set", m_program.string(), "-o", m_out.string(), "DisplayName=梦幻大陆", "Cid=123"});
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_TRUE(ReadBytes(m_program) == m_original);

    const Result show = Run({"show", m_out.string()});
    EXPECT_EQ(Line(show.out, "DisplayName"), "DisplayName=梦幻大陆");
    EXPECT_EQ(Line(show.out, "Cid"), "Cid=123");
    EXPECT_EQ(Line(show.out, "TitleName"), "TitleName=Dolnrise");

    // Only the block's bytes changed, and the image checksum that covers them.
    const auto written = ReadBytes(m_out);
    ASSERT_EQ(written.size(), m_original.size());
    const size_t blockAt = pe::FindCtrlBlock(written).fileOffset;
    const size_t peAt = written[0x3C] | written[0x3D] << 8;
    const size_t checksumAt = peAt + 24 + 64;
    auto others = written;
    std::copy_n(m_original.begin() + static_cast<ptrdiff_t>(blockAt), ctrl::kBlockSize,
                others.begin() + static_cast<ptrdiff_t>(blockAt));
    std::copy_n(m_original.begin() + static_cast<ptrdiff_t>(checksumAt), 4, others.begin() + static_cast<ptrdiff_t>(checksumAt));
    const auto differs = std::mismatch(others.begin(), others.end(), m_original.begin()).first;
    EXPECT_EQ(differs, others.end()) << "byte " << (differs - others.begin());
    EXPECT_FALSE(fs::exists(m_dir / "out.exe.ctrlblock-tmp"));
}

TEST_F(CtrlBlockCliTest, ApplyReplacesAnExistingOutput) {
    WriteBytes(m_out, {1, 2, 3});
    WriteBytes(m_dir / "p.build", {});
    const std::string profile = "TitleName=测试\nBuildFlags=0x801\n";
    WriteBytes(m_dir / "p.build", std::vector<uint8_t>(profile.begin(), profile.end()));
    const Result r = Run({"apply", m_program.string(), (m_dir / "p.build").string(), "-o", m_out.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    const Result show = Run({"show", m_out.string()});
    EXPECT_EQ(Line(show.out, "TitleName"), "TitleName=测试");
    EXPECT_EQ(Line(show.out, "BuildFlags"), "BuildFlags=0x801");
    EXPECT_EQ(Line(show.out, "DisplayName"), "DisplayName=Dolnrise");
}

TEST_F(CtrlBlockCliTest, EmptyHostSlotsAreWarnedAboutButAccepted) {
    EXPECT_EQ(Run({"show", m_program.string()}).err, "") << "every host of the reference build is set";
    const std::string profile = "PortalHost=\nEventStatHost=\nProbeUrl=\nExitPageUrl=\n";
    WriteBytes(m_dir / "p.build", std::vector<uint8_t>(profile.begin(), profile.end()));
    const Result apply = Run({"apply", m_program.string(), (m_dir / "p.build").string(), "-o", m_out.string()});
    const Result show = Run({"show", m_out.string()});
    for (const Result* r : {&apply, &show}) {
        EXPECT_EQ(r->status, 0) << r->err;
        EXPECT_EQ(std::count(r->err.begin(), r->err.end(), '\n'), 3) << r->err;
        for (const char* slot : {"warning: PortalHost", "warning: EventStatHost", "warning: ProbeUrl"})
            EXPECT_NE(r->err.find(slot), std::string::npos) << r->err;
    }
}

TEST_F(CtrlBlockCliTest, BadInputIsRefusedWithStatusTwoAndNothingWritten) {
    const std::string in = m_program.string();
    const std::string out = m_out.string();
    ExpectRefused({"set", in, "-o", out, "Nope=1"}, "unknown slot");
    ExpectRefused({"set", in, "-o", out, "GameCode=" + std::string(256, 'g')}, "at most 255");
    ExpectRefused({"set", in, "-o", out, "TitleName=\xF0\x9F\x8E\xAE"}, "GBK");
    for (const char* slot : {"Agid", "Cid", "Aid", "Oid", "Oid1", "Oid2"}) {
        ExpectRefused({"set", in, "-o", out, std::string(slot) + "=12a"}, "digits");
    }
    ExpectRefused({"set", in, "-o", out, "Cid=1", "Cid=12a"}, "digits");
    ExpectRefused({"set", in, "-o", out, "Cid"}, "Slot=value");
    ExpectRefused({"set", in, "-o", in, "Cid=1"}, "differ");
    ExpectRefused({"set", in, "-o", (m_dir / "." / "corvane.exe").string(), "Cid=1"}, "differ");
    ExpectRefused({"set", in, "Cid=1"}, "usage");
    ExpectRefused({"set", in, "-o"}, "usage");
    ExpectRefused({"frobnicate", in}, "usage");
    ExpectRefused({"set", (m_dir / "missing.exe").string(), "-o", out, "Cid=1"}, "cannot read");

    const std::string text = (m_dir / "text.exe").string();
    WriteBytes(text, {'n', 'o', 't', ' ', 'P', 'E'});
    ExpectRefused({"set", text, "-o", out, "Cid=1"}, "not a PE program");
    ExpectRefused({"set", CopyWith("cut.exe", [](auto& b) { b.resize(300); }), "-o", out, "Cid=1"}, "truncated");
    const size_t header = SectionHeaderOfCtrl();
    ASSERT_NE(header, std::string::npos);
    ExpectRefused({"set", CopyWith("noctrl.exe", [&](auto& b) { b[header + 1] = 'x'; }), "-o", out, "Cid=1"},
                  "no .ctrl section");
    ExpectRefused({"set", CopyWith("small.exe", [&](auto& b) { b[header + 17] = 0x2F; }), "-o", out, "Cid=1"},
                  "smaller than 0x3000");
    ExpectRefused({"show", (m_dir / "noctrl.exe").string()}, "no .ctrl section");

    WriteBytes(m_dir / "bad.build", {'C', 'i', 'd', '=', 'x', '\n'});
    ExpectRefused({"apply", in, (m_dir / "bad.build").string(), "-o", out}, "line 1: Cid");
}

TEST(CtrlBlockTool, TheBuiltToolExitsWithTwoOnADigitSlotError) {
    CTempDir dir;
    const std::string tool = std::string(CORVANE_NATIVE_BIN) + "/ctrlblock";
    const std::string command = tool + " set " + BuiltProgram().string() + " -o " + (dir / "x.exe").string() +
                                " Cid=12a 2>" + (dir / "err").string();
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_FALSE(fs::exists(dir / "x.exe"));
    EXPECT_NE(ReadText(dir / "err").find("Cid"), std::string::npos);
}
