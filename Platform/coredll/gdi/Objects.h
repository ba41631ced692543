// The drawing objects of this process (fonts, pens, brushes, icons) and its device contexts, found by
// handle. One lock guards both, as deleting an object must know whether a context still holds it.
#pragma once

#include <windows.h>

#include "gdi/Drawing.h"

#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <variant>

namespace device {

struct FontObject {
    LOGFONTW description{};
    bool systemFont = false; // the stock font follows the device's resolution: described when asked
};
struct PenObject {
    LOGPEN description{};
};
struct BrushObject {
    LOGBRUSH description{};
};
struct IconObject {
    std::shared_ptr<const IconImage> image;
    bool shared = false; // handed out by LoadIcon to every caller: DestroyIcon leaves it alone
};
using GdiObject = std::variant<FontObject, PenObject, BrushObject, IconObject>;

struct DeviceContext {
    HWND window = nullptr; // whose drawing this context records; null for the screen
    bool painting = false; // made by BeginPaint: drawing is clipped to the update rectangle
    RECT paintArea{};
    HGDIOBJ font = nullptr;
    HGDIOBJ pen = nullptr;
    HGDIOBJ brush = nullptr;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF backColor = RGB(255, 255, 255);
    int backMode = OPAQUE;
    POINT position{};
};

class GdiTable {
public:
    static GdiTable& Instance();

    HGDIOBJ Add(GdiObject object);
    std::optional<GdiObject> Find(HGDIOBJ handle);
    template <class T>
    std::optional<T> FindAs(HGDIOBJ handle)
    {
        auto object = Find(handle);
        if (!object || !std::holds_alternative<T>(*object))
            return std::nullopt;
        return std::get<T>(*object);
    }
    HGDIOBJ Stock(int index); // null for an index without a stock object
    bool IsStock(HGDIOBJ handle);

    enum class Removal { Removed, Kept, Selected, Invalid };
    // Removes an object of the given kind; a stock object is kept, one selected into a context too.
    Removal Remove(HGDIOBJ handle, bool (*isKind)(const GdiObject&));
    template <class T>
    Removal Remove(HGDIOBJ handle)
    {
        return Remove(handle, [](const GdiObject& o) { return std::holds_alternative<T>(o); });
    }
    // Removes an icon unless it is shared.
    Removal RemoveIcon(HICON icon);

    HDC OpenContext(const DeviceContext& context);
    bool CloseContext(HDC hdc);
    std::optional<DeviceContext> Context(HDC hdc);
    // Changes a context under the lock; false for a handle that names no context.
    template <class F>
    bool ChangeContext(HDC hdc, F change)
    {
        std::lock_guard lock(m_mutex);
        auto it = m_contexts.find(hdc);
        if (it == m_contexts.end())
            return false;
        change(it->second);
        return true;
    }

private:
    GdiTable();
    void* NextHandle();

    struct Entry {
        GdiObject object;
        bool stock = false;
    };
    std::mutex m_mutex;
    std::unordered_map<HGDIOBJ, Entry> m_objects;
    std::unordered_map<HDC, DeviceContext> m_contexts;
    std::unordered_map<int, HGDIOBJ> m_stock;
    uint32_t m_nextSerial = 1;
};

// A brush may be a brush object or a system colour index marked with SYS_COLOR_INDEX_FLAG.
bool IsSysColorBrush(HGDIOBJ brush);
// The colour a brush paints with into *color (nullopt for the null brush); false for a handle that
// names no brush.
bool ResolveBrush(HGDIOBJ brush, std::optional<COLORREF>* color);

// The description of a font object (the stock font's at the current resolution).
std::optional<LOGFONTW> FontDescription(HGDIOBJ font);

} // namespace device
