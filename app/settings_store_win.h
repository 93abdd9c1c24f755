#pragma once

#include <string>

#include "app/profile_store.h"
#include "app/settings_store.h"

// A profile file read and written through the system's profile functions.
class CWinProfileStore final : public IProfileStore {
public:
    explicit CWinProfileStore(std::wstring path) : m_path(std::move(path)) {}

    std::wstring Read(std::wstring_view section, std::wstring_view key, std::wstring_view defaultValue,
                      size_t bufferChars) const override;
    bool Write(std::wstring_view section, std::wstring_view key, std::wstring_view value) override;

    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};

// The common application-data folder (CSIDL_COMMON_APPDATA); empty on failure.
std::wstring CommonAppDataFolder();

// That folder + "\7251\GameLogin\Statistic.ini"; empty when it does not fit
// the 260-character path buffer, so nothing is written to a cut path.
std::wstring SettingsFilePath();

// "Statistic.ini" beside the running program, where the hotkeys are kept; for
// the installed client the same file as SettingsFilePath().
std::wstring ProgramFolderSettingsPath();

// The program's settings file and this build's section in it.
CWinProfileStore& TheSettingsStore();
CSettings AppSettings();
