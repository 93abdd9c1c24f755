#pragma once

#include <string>
#include <string_view>

// What the login page asks of the client by navigating to "app:" addresses.
// The page writes "app:" + two characters + an eight-character word at
// positions 6 to 13; positions 4 and 5 are never read, so the page may put
// anything there ("//" in practice).
enum class BridgeCommand {
    None,        // not an "app:" address: the browser may navigate
    Unknown,     // an "app:" address with an unlisted word: cancelled, nothing done
    LoadGame,    // "loadgame"
    ExitGame,    // "exitgame"
    Minimize,    // "minimize"
    Redirect,    // "redrict:" (the page's spelling)
    AutorunOff,  // "autorun0"
    AutorunOn,   // "autorun1"
    SaveInfo,    // "saveinfo"
    ReadInfo,    // "readinfo"
    SetupKey,    // "setupkey"
    ReadKey,     // "read_key"
    LoginNum,    // "loginnum"
    SetPauth,    // "setpauth"
};

struct BridgeRequest {
    BridgeCommand command = BridgeCommand::None;
    // The text the command acts on: the target address (position 14 on) for
    // Redirect; the value (position 19 on, empty when shorter) for SaveInfo
    // and SetupKey; the whole address for LoadGame and SetPauth, whose own
    // parsers read it by position; empty otherwise.
    std::wstring argument;
};

// The scheme is compared case-sensitively: "App:" is an ordinary address.
// "readpauth" and any other unlisted word give Unknown, as does an "app:"
// address too short to hold a whole word.
BridgeRequest ParseBridgeCommand(std::wstring_view url);

// The base HTML dialog's own navigation filter, for pages without a bridge.
enum class NavigationVerdict {
    Cancel,  // "app:" command addresses never navigate
    Allow,   // "javascript" addresses go ahead even if the browser proposed to cancel
    Leave,   // everything else: the browser's own decision stands
};
NavigationVerdict FilterNavigation(std::wstring_view url);
