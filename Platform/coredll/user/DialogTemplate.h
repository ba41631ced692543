// Dialog templates (DIALOG and DIALOGEX resources, or built in memory) read into one description that
// the dialog manager creates windows from.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace device {

// A template field that holds either a number (0xFFFF followed by the number) or a string.
struct NameOrOrdinal {
    WORD ordinal = 0; // nonzero when the field names a number
    std::u16string name;

    bool Empty() const { return ordinal == 0 && name.empty(); }
};

// The font a template asks for (DS_SETFONT).
struct FontRequest {
    int pointSize = 8;
    int weight = 400;
    bool italic = false;
    BYTE charset = 1; // DEFAULT_CHARSET
    std::u16string face;
};

struct DialogItemTemplate {
    DWORD helpId = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0; // dialog units
    DWORD id = 0;
    std::u16string className; // the predefined ordinals (0x0080 to 0x0085) named by their classes
    NameOrOrdinal title;      // an ordinal names a resource, such as a static control's icon
    std::vector<BYTE> creationData;
};

struct DialogTemplate {
    bool extended = false; // DIALOGEX
    DWORD helpId = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0; // dialog units
    NameOrOrdinal menu;
    NameOrOrdinal className; // empty: the standard dialog class
    std::u16string title;
    std::optional<FontRequest> font;
    std::vector<DialogItemTemplate> items;
};

// Reads a DLGTEMPLATE or DLGTEMPLATEEX. `size` bounds the read; pass SIZE_MAX for a template handed over
// in memory, whose length the caller does not know. Null for a template that is cut short or malformed.
std::optional<DialogTemplate> ParseDialogTemplate(const void* data, size_t size);

// The class of a predefined control ordinal (0x0080 "Button" to 0x0085 "ComboBox"); other ordinals
// name a class atom ("#n").
std::u16string PredefinedClassName(WORD ordinal);

} // namespace device
