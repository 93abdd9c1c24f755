#pragma once

#include <map>
#include <string>
#include <utility>

#include "app/profile_store.h"

// A profile file in memory that reads like the system's profile functions:
// missing keys give the default, values are cut to the read buffer.
class CFakeProfileStore final : public IProfileStore {
public:
    std::wstring Read(std::wstring_view section, std::wstring_view key, std::wstring_view defaultValue,
                      size_t bufferChars) const override {
        ++m_reads[std::wstring(key)];
        const auto found = m_values.find({std::wstring(section), std::wstring(key)});
        const std::wstring value = found == m_values.end() ? std::wstring(defaultValue) : found->second;
        return bufferChars == 0 ? std::wstring{} : value.substr(0, bufferChars - 1);
    }
    bool Write(std::wstring_view section, std::wstring_view key, std::wstring_view value) override {
        ++m_writes[std::wstring(key)];
        m_values[{std::wstring(section), std::wstring(key)}] = std::wstring(value);
        return true;
    }

    void Set(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
        m_values[{section, key}] = value;
    }
    // The stored text, or "<absent>".
    std::wstring Get(const std::wstring& section, const std::wstring& key) const {
        const auto found = m_values.find({section, key});
        return found == m_values.end() ? L"<absent>" : found->second;
    }
    int Reads(const std::wstring& key) const { return Count(m_reads, key); }
    int Writes(const std::wstring& key) const { return Count(m_writes, key); }

private:
    static int Count(const std::map<std::wstring, int>& counts, const std::wstring& key) {
        const auto found = counts.find(key);
        return found == counts.end() ? 0 : found->second;
    }

    std::map<std::pair<std::wstring, std::wstring>, std::wstring> m_values;
    mutable std::map<std::wstring, int> m_reads;
    std::map<std::wstring, int> m_writes;
};
