// The font of a dialog and the base units it gives the dialog's units: a horizontal base unit is the
// average width of the 52 letters, a vertical one the character height; a dialog unit is a quarter of
// the first across and an eighth of the second down.
#pragma once

#include <windows.h>

#include "user/DialogTemplate.h"

#include <optional>

namespace device {

struct DialogFont {
    HFONT handle = nullptr; // owned by the dialog; null for the system font
    SIZE baseUnits{};
};

// The font a template asks for; without one, the system font.
DialogFont OpenDialogFont(const std::optional<FontRequest>& request);
void CloseDialogFont(DialogFont& font);

// The base units of the system font (GetDialogBaseUnits).
SIZE SystemBaseUnits();

// Dialog units to pixels: each edge of a rectangle (MapDialogRect)...
RECT DialogUnitsToPixels(const RECT& units, SIZE baseUnits);
// ...or a template's position and size, each mapped on its own.
RECT PlacementToPixels(short x, short y, short cx, short cy, SIZE baseUnits);

} // namespace device
