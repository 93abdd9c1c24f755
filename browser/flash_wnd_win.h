#pragma once

// CFlashWnd: the Flash player control in a container of its own, playing one
// movie file, transparent where the movie draws nothing.

#include <string>

#include "browser/ole_container_wnd_win.h"
#include "browser/shockwave_flash_win.h"

class CFlashWnd : public COleContainerWnd<IShockwaveFlash> {
public:
    explicit CFlashWnd(std::wstring moviePath);
    ~CFlashWnd() override;

    // Adds the player's event interface to the container's.
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;

    // Connects the event sink and sets the player up for a transparent,
    // scaled movie that is not yet embedded.
    BOOL BeforeShowContent() override;
    // Loads the movie file and plays it.
    BOOL AfterShowContent() override;

    const std::wstring& MoviePath() const { return m_moviePath; }

private:
    std::wstring m_moviePath;
};
