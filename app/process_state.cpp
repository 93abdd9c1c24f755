#include "app/process_state.h"

intptr_t& TheHallWindow() {
    static intptr_t window = 0;
    return window;
}

std::wstring& ThePendingGameAddress() {
    static std::wstring address;
    return address;
}

int& TheOpenPageCount() {
    static int count = 0;
    return count;
}
