#pragma once

#include <windows.h>

#include <string>

// Shortcut files of the client: desktop, start menu, Quick Launch with the
// taskbar and start-menu pins. Names are file names without ".lnk". Every
// operation returns FALSE and changes nothing when a required argument is
// empty, the name is not a plain file name, the target file is missing or a
// shell folder cannot be resolved; none reports anything to the user.
//
// The names come from the portal, so a name may be that of someone else's
// shortcut: a same-named file is replaced or deleted only when it is a link
// to the program given (the target when making, `program` when removing);
// anything else there stays and the operation returns FALSE.

// True when the file at `path` is a shell link whose target is `program`
// (compared without regard to case).
bool IsLinkTo(const std::wstring& path, const std::wstring& program);

// Writes a shell link at `shortcutPath` to `target` with its arguments, its
// icon (the target's own when `iconFile` is empty) and, when given, a
// description; the working folder is the target's folder.
BOOL CreateLink(const std::wstring& target, const std::wstring& iconFile, const std::wstring& shortcutPath,
                const std::wstring& arguments, const std::wstring& description);

// In the common desktop folder; once it is written, a same-named link to the
// target on the user's own desktop is removed, so that only the all-users one
// shows.
BOOL CreateDesktopShortcut(const std::wstring& iconFile, const std::wstring& name, const std::wstring& target,
                           const std::wstring& arguments);
BOOL DeleteDesktopShortcut(const std::wstring& name, const std::wstring& program);

// In the "7251登录器" folder of the common programs folder, made when missing.
BOOL CreateStartMenuShortcut(const std::wstring& arguments, const std::wstring& target, const std::wstring& name,
                             const std::wstring& iconFile);
// Deletes the shortcut; the folder stays.
BOOL DeleteStartMenuShortcut(const std::wstring& name, const std::wstring& program);

// In the user's Quick Launch folder; on Windows 6 and later also pinned to
// the taskbar and the start menu. The result is that of making the shortcut.
BOOL CreateQuickLaunch(const std::wstring& name, const std::wstring& target, const std::wstring& iconFile,
                       const std::wstring& arguments);
// Unpins and deletes it; the result is that of the deletion.
BOOL RemoveQuickLaunch(const std::wstring& name, const std::wstring& program);

// The files the operations above write, empty when the folder cannot be
// resolved or the name is not a plain file name.
std::wstring DesktopShortcutPath(const std::wstring& name);
std::wstring UserDesktopShortcutPath(const std::wstring& name);
std::wstring StartMenuShortcutPath(const std::wstring& name);
std::wstring QuickLaunchPath(const std::wstring& name);
