#include "gdi/Objects.h"

#include "gdi/Fonts.h"

namespace device {

namespace {

// Handles carry a tag above the low 32 bits, so they never meet the system colour pseudo-brushes.
constexpr uintptr_t kHandleTag = uintptr_t{0x6D} << 32;

GdiObject SolidBrush(COLORREF color) { return BrushObject{LOGBRUSH{BS_SOLID, color, 0}}; }
GdiObject Pen(UINT style, COLORREF color) { return PenObject{LOGPEN{style, POINT{1, 0}, color}}; }

} // namespace

GdiTable& GdiTable::Instance()
{
    static GdiTable* table = new GdiTable; // objects may be used while static destructors run
    return *table;
}

GdiTable::GdiTable()
{
    auto addStock = [this](int index, GdiObject object) {
        HGDIOBJ handle = NextHandle();
        m_objects.emplace(handle, Entry{std::move(object), true});
        m_stock.emplace(index, handle);
    };
    addStock(WHITE_BRUSH, SolidBrush(RGB(255, 255, 255)));
    addStock(LTGRAY_BRUSH, SolidBrush(RGB(192, 192, 192)));
    addStock(GRAY_BRUSH, SolidBrush(RGB(128, 128, 128)));
    addStock(DKGRAY_BRUSH, SolidBrush(RGB(64, 64, 64)));
    addStock(BLACK_BRUSH, SolidBrush(RGB(0, 0, 0)));
    addStock(NULL_BRUSH, BrushObject{LOGBRUSH{BS_NULL, 0, 0}});
    addStock(WHITE_PEN, Pen(PS_SOLID, RGB(255, 255, 255)));
    addStock(BLACK_PEN, Pen(PS_SOLID, RGB(0, 0, 0)));
    addStock(NULL_PEN, Pen(PS_NULL, RGB(0, 0, 0)));
    addStock(SYSTEM_FONT, FontObject{LOGFONTW{}, true});
}

void* GdiTable::NextHandle() { return reinterpret_cast<void*>(kHandleTag | m_nextSerial++); }

HGDIOBJ GdiTable::Add(GdiObject object)
{
    std::lock_guard lock(m_mutex);
    HGDIOBJ handle = NextHandle();
    m_objects.emplace(handle, Entry{std::move(object), false});
    return handle;
}

std::optional<GdiObject> GdiTable::Find(HGDIOBJ handle)
{
    std::lock_guard lock(m_mutex);
    auto it = m_objects.find(handle);
    if (it == m_objects.end())
        return std::nullopt;
    return it->second.object;
}

HGDIOBJ GdiTable::Stock(int index)
{
    auto it = m_stock.find(index); // fixed at construction: no lock needed
    return it == m_stock.end() ? nullptr : it->second;
}

bool GdiTable::IsStock(HGDIOBJ handle)
{
    std::lock_guard lock(m_mutex);
    auto it = m_objects.find(handle);
    return it != m_objects.end() && it->second.stock;
}

GdiTable::Removal GdiTable::Remove(HGDIOBJ handle, bool (*isKind)(const GdiObject&))
{
    std::lock_guard lock(m_mutex);
    auto it = m_objects.find(handle);
    if (it == m_objects.end() || !isKind(it->second.object))
        return Removal::Invalid;
    if (it->second.stock)
        return Removal::Kept;
    for (auto& [hdc, context] : m_contexts)
        if (context.font == handle || context.pen == handle || context.brush == handle)
            return Removal::Selected;
    m_objects.erase(it);
    return Removal::Removed;
}

GdiTable::Removal GdiTable::RemoveIcon(HICON icon)
{
    std::lock_guard lock(m_mutex);
    auto it = m_objects.find(icon);
    if (it == m_objects.end() || !std::holds_alternative<IconObject>(it->second.object))
        return Removal::Invalid;
    if (std::get<IconObject>(it->second.object).shared)
        return Removal::Kept;
    m_objects.erase(it);
    return Removal::Removed;
}

HDC GdiTable::OpenContext(const DeviceContext& context)
{
    std::lock_guard lock(m_mutex);
    auto hdc = static_cast<HDC>(NextHandle());
    m_contexts.emplace(hdc, context);
    return hdc;
}

bool GdiTable::CloseContext(HDC hdc)
{
    std::lock_guard lock(m_mutex);
    return m_contexts.erase(hdc) > 0;
}

std::optional<DeviceContext> GdiTable::Context(HDC hdc)
{
    std::lock_guard lock(m_mutex);
    auto it = m_contexts.find(hdc);
    if (it == m_contexts.end())
        return std::nullopt;
    return it->second;
}

bool IsSysColorBrush(HGDIOBJ brush)
{
    auto value = reinterpret_cast<uintptr_t>(brush);
    return (value & ~uintptr_t{0xFF}) == SYS_COLOR_INDEX_FLAG && (value & 0xFF) <= (COLOR_STATICTEXT & 0xFF);
}

bool ResolveBrush(HGDIOBJ brush, std::optional<COLORREF>* color)
{
    if (IsSysColorBrush(brush)) {
        *color = GetSysColor(static_cast<int>(reinterpret_cast<uintptr_t>(brush) & 0xFF));
        return true;
    }
    auto object = GdiTable::Instance().FindAs<BrushObject>(brush);
    if (!object)
        return false;
    if (object->description.lbStyle == BS_NULL)
        *color = std::nullopt;
    else
        *color = object->description.lbColor;
    return true;
}

std::optional<LOGFONTW> FontDescription(HGDIOBJ font)
{
    auto object = GdiTable::Instance().FindAs<FontObject>(font);
    if (!object)
        return std::nullopt;
    return object->systemFont ? SystemFontDescription() : object->description;
}

} // namespace device
