// The system's wait cursor for the life of a long operation, the previous cursor back afterwards; in
// silent mode the cursor is left alone.
#pragma once

#include <windows.h>

class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool m_shown = false;
    HCURSOR m_previous = nullptr;
};
