// Native-only implementation of the code-page seam over glibc's iconv.
#include <errno.h>
#include <iconv.h>

#include <vector>

#include "base/code_page.h"

namespace {

class CIconvHandle {
public:
    CIconvHandle(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~CIconvHandle() {
        if (IsValid()) iconv_close(m_cd);
    }
    CIconvHandle(const CIconvHandle&) = delete;
    CIconvHandle& operator=(const CIconvHandle&) = delete;

    bool IsValid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t Get() const { return m_cd; }

private:
    iconv_t m_cd;
};

// wchar_t is 4 bytes here, so UTF-32 in host order is the wide form.
constexpr const char* kWideEncoding = "UTF-32LE";

class CIconvCodePage final : public ICodePage {
public:
    explicit CIconvCodePage(std::string name) : m_name(std::move(name)) {}

    std::wstring ToWide(std::string_view bytes) const override {
        CIconvHandle cd(kWideEncoding, m_name.c_str());
        std::wstring out;
        if (!cd.IsValid()) return out;
        auto* in = const_cast<char*>(bytes.data());
        size_t inLeft = bytes.size();
        while (inLeft > 0) {
            char32_t buffer[64];
            auto* outPtr = reinterpret_cast<char*>(buffer);
            size_t outLeft = sizeof(buffer);
            const size_t r = iconv(cd.Get(), &in, &inLeft, &outPtr, &outLeft);
            const size_t produced = (sizeof(buffer) - outLeft) / sizeof(char32_t);
            for (size_t k = 0; k < produced; ++k) out.push_back(static_cast<wchar_t>(buffer[k]));
            if (r == static_cast<size_t>(-1) && errno != E2BIG) {
                // Invalid or cut sequence: replace one byte and go on.
                out.push_back(static_cast<wchar_t>(0xFFFD));
                ++in;
                --inLeft;
                iconv(cd.Get(), nullptr, nullptr, nullptr, nullptr);
            }
        }
        return out;
    }

    bool FromWide(std::wstring_view text, std::string& bytes) const override {
        bytes.clear();
        CIconvHandle cd(m_name.c_str(), kWideEncoding);
        if (!cd.IsValid()) return false;
        std::vector<char32_t> wide(text.begin(), text.end());
        auto* in = reinterpret_cast<char*>(wide.data());
        size_t inLeft = wide.size() * sizeof(char32_t);
        while (inLeft > 0) {
            char buffer[256];
            char* outPtr = buffer;
            size_t outLeft = sizeof(buffer);
            const size_t r = iconv(cd.Get(), &in, &inLeft, &outPtr, &outLeft);
            bytes.append(buffer, sizeof(buffer) - outLeft);
            if (r == static_cast<size_t>(-1) && errno != E2BIG) {
                bytes.clear();
                return false;
            }
            // iconv counts characters it mapped inexactly; those are refused too.
            if (r != static_cast<size_t>(-1) && r > 0) {
                bytes.clear();
                return false;
            }
        }
        return true;
    }

private:
    std::string m_name;
};

}  // namespace

std::unique_ptr<ICodePage> MakeGbkCodePage() { return std::make_unique<CIconvCodePage>("CP936"); }

std::unique_ptr<ICodePage> MakeCodePage(unsigned number) {
    const std::string name = "CP" + std::to_string(number);
    if (!CIconvHandle(name.c_str(), kWideEncoding).IsValid()) return nullptr;
    return std::make_unique<CIconvCodePage>(name);
}
