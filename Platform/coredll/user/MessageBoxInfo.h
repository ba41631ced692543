// What a message box shows, for automation: a message box is a dialog of the standard class with a
// static control (id 0xFFFF) for its text and a push button per answer, whose id is the answer.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace device {

struct MessageBoxButton {
    int id = 0; // IDOK, IDCANCEL, IDYES, IDNO, IDABORT, IDRETRY or IDIGNORE
    std::u16string label;
};

struct MessageBoxContent {
    std::u16string text;
    std::u16string caption;
    std::string icon; // "error", "question", "warning", "information", or empty
    std::vector<MessageBoxButton> buttons;
    int defaultButton = 0; // the id Enter chooses
    int backButton = 0;    // the id the Back key chooses; 0 when Back does nothing
};

// Null for a window that is not an open message box.
std::optional<MessageBoxContent> MessageBoxInfo(HWND hwnd);

} // namespace device
