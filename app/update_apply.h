#pragma once

// The "/update" start: fetch the portal's description, download the file it
// names, accept it only when every check of the update holds, then put it in
// place of the installed program. A failure anywhere leaves the installed
// program as it was and the work file removed; the caller then tells the
// user once and starts the old client.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "app/update_accept.h"
#include "app/update_info.h"

// What the update needs from the system; a test gives its own.
class IUpdateHost {
public:
    virtual ~IUpdateHost() = default;
    // The body of a GET (the portal's description), empty on failure.
    virtual std::string FetchText(const std::wstring& address) = 0;
    // The update dialog: true when `destination` holds the whole file, which
    // is refused when announced longer than `sizeLimit`.
    virtual bool Download(const std::wstring& address, const std::wstring& destination, uint64_t sizeLimit) = 0;
    // At most `limit` + 1 bytes, so that a longer file shows as longer.
    virtual bool ReadFile(const std::wstring& path, uint64_t limit, std::vector<unsigned char>& bytes) = 0;
    // Written to a temporary beside `path` and moved into place.
    virtual bool WriteFile(const std::wstring& path, const std::vector<unsigned char>& bytes) = 0;
    virtual void RemoveFile(const std::wstring& path) = 0;
    // Moves `from` over `to` (a file there is replaced), written through.
    virtual bool MoveFile(const std::wstring& from, const std::wstring& to) = 0;
    // Whether this process may create and replace files in `folder`.
    virtual bool CanWriteFolder(const std::wstring& folder) = 0;
    // Runs the replacement in an elevated copy of this program with
    // `arguments` (see ElevatedReplaceArguments) and waits for it; true when
    // the copy ended having replaced the program.
    virtual bool ReplaceElevated(const std::vector<std::wstring>& arguments) = 0;
    // Starts the installed program as an installed start (no argument).
    virtual bool StartProgram(const std::wstring& program) = 0;
};

struct UpdateContext {
    BuildIdentity running;        // this build's slots
    std::string updateKey;        // the UpdateKey slot
    std::wstring domains;         // the UpdateDomains slot
    std::wstring descriptionAddress;
    std::wstring program;         // the installed program's full path
    std::wstring tempFolder;      // the user's own, with a trailing separator
};

enum class UpdateOutcome {
    Replaced,    // the new program is in place and started: this process ends
    Failed,      // nothing changed: the user is told, the old client goes on
    NotOffered,  // the build takes no updates (no key): the client just opens
};

// The switch of the elevated copy that replaces the program.
inline constexpr wchar_t kReplaceSwitch[] = L"/replace";

// Beside the program: the new file while it is checked, the old one once it
// is renamed aside (deleted by the next start).
std::wstring UpdateWorkPath(const std::wstring& program);
std::wstring UpdateAsidePath(const std::wstring& program);

UpdateOutcome RunUpdate(const UpdateContext& context, IUpdateHost& host, const UpdateSignatureVerifier& verifier);

// The running file renamed aside, the checked `work` file moved into its
// place; on a failure of the second step the first is undone. `work` is
// removed either way.
bool ReplaceProgram(const std::wstring& program, const std::wstring& work, IUpdateHost& host);

// The elevated copy's arguments (after the switch): the user's work file and
// the description's members that the checks read, so that the elevated copy
// checks the very bytes it installs.
std::vector<std::wstring> ElevatedReplaceArguments(const std::wstring& work, const UpdateInfo& info);

// The elevated copy's work: `arguments` as ElevatedReplaceArguments made
// them. The file is read once, checked under this build's own key and
// identity, and those bytes are written beside the program and moved into
// place. True when the program was replaced.
bool RunElevatedReplace(std::span<const std::wstring> arguments, const UpdateContext& context, IUpdateHost& host,
                        const UpdateSignatureVerifier& verifier);
