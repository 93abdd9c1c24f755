#pragma once

// Silencing the client's own sound without touching the system volume or
// other programs. On Windows Vista and later the legacy mixer's mute
// switches act on the calling process alone; before that, every buffer the
// process hands to wave output, MIDI stream output or DirectSound is
// overwritten with silence just before it is played.

#include <windows.h>

// Applies the mute flag by the road the system takes (above). On the mixer
// road: whether the speakers' switch was set; on the interception road:
// whether all three sound paths are intercepted.
BOOL SetMute(BOOL mute);

// Major version above 5.
BOOL IsVistaOrLater();

// Sets the mute switch of the line of `componentType` on mixer 0 (FALSE
// when there is no mixer device, or the line has no mute switch).
BOOL SetMixerMute(DWORD componentType, BOOL mute);

// The interception road: redirects waveOutWrite, midiStreamOut and
// DirectSoundCreate the first time (and takes them out again at exit), then
// sets the flag the redirections read. TRUE when all three are in place.
BOOL SetInterceptedMute(BOOL mute);

// Puts the three functions back; registered to run at exit once installed.
void RemoveSoundHooks();
