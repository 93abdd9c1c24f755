#include "app/update_query.h"

#include "app/update_info.h"
#include "base/utf8.h"
#include "net/update_check.h"

UpdateAnswer QueryUpdate(const UpdateQueryInput& input, const std::function<std::string()>& fetchDescription) {
    UpdateAnswer answer;
    // Without a key no file could ever be accepted: asking the user to
    // update would only lead to a failed update.
    if (input.updateKey.empty()) return answer;
    if (!input.expectedTag.empty()) {
        answer.needed = CheckUpdateTag(input.expectedTag, input.programPath, input.clientVersion) != 0;
        return answer;
    }
    UpdateInfo info;
    if (!ParseUpdateInfo(fetchDescription(), info)) return answer;
    if (CompareVersions(info.version, WideToUtf8(input.clientVersion)) <= 0) return answer;
    answer.needed = CheckUpdateTag(std::wstring(info.tag.begin(), info.tag.end()), input.programPath,
                                   input.clientVersion) != 0;
    if (answer.needed) answer.version.assign(info.version.begin(), info.version.end());
    return answer;
}

bool TakeDailyUpdateCheck(CSettings& settings, const CivilDate& today) {
    const std::wstring day = FormatStoredDate(today);
    if (settings.Read(settings::kUpdateDay) == day) return false;
    settings.Write(settings::kUpdateDay, day);
    return true;
}

bool TakeUpdateQuestion(CSettings& settings, const std::wstring& version) {
    if (settings.Read(settings::kUpdateAsked) == version) return false;
    settings.Write(settings::kUpdateAsked, version);
    return true;
}
