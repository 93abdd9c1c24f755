#pragma once

// How many GDI and USER objects this process holds, for the soak run that
// watches the client from outside. Wine's GetGuiResources answers 0 for
// both, so the client counts its own handles and answers a message that
// only the soak driver sends.
#include <windows.h>

// Live GDI objects of this process, found by asking the type of every slot
// of the GDI handle table (stock objects included).
unsigned CountGdiObjects();
// Windows (children included), menus, icons and cursors of this process.
unsigned CountUserObjects();

// The registered message the main frame answers with a count: wParam 0 for
// GDI objects, 1 for USER objects.
UINT GuiObjectCountMessage();
// The answer to that message, or false when `msg` is some other message.
bool AnswerGuiObjectCount(UINT msg, WPARAM wp, LRESULT* result);
