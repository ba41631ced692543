#include "gdi/Drawing.h"

#include <algorithm>
#include <mutex>
#include <unordered_map>

namespace device {

namespace {

// A window that keeps drawing without ever covering what it drew keeps at most this many operations.
constexpr size_t kMostOperations = 4096;

struct Drawings {
    std::mutex mutex;
    std::unordered_map<HWND, std::vector<Drawing>> byWindow;
};

Drawings& Store()
{
    static Drawings* store = new Drawings; // drawing may go on while static destructors run
    return *store;
}

int64_t Area(const RECT& r)
{
    return IsRectEmpty(&r) ? 0 : int64_t(r.right - r.left) * (r.bottom - r.top);
}

bool Contains(const RECT& outer, const RECT& inner)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool MostlyInside(const RECT& bounds, const RECT& area)
{
    // A line along a row's edge has no area of its own: give it one pixel of thickness.
    RECT own = bounds;
    if (own.right == own.left)
        ++own.right;
    if (own.bottom == own.top)
        ++own.bottom;
    RECT common;
    if (!IntersectRect(&common, &own, &area))
        return false;
    return Area(common) * 2 >= Area(own);
}

} // namespace

std::vector<Drawing> DrawingOf(HWND hwnd)
{
    auto& store = Store();
    std::lock_guard lock(store.mutex);
    auto it = store.byWindow.find(hwnd);
    return it == store.byWindow.end() ? std::vector<Drawing>{} : it->second;
}

std::vector<Drawing> DrawingWithin(HWND hwnd, const RECT& area)
{
    std::vector<Drawing> result = DrawingOf(hwnd);
    std::erase_if(result, [&](const Drawing& d) { return !MostlyInside(d.bounds, area); });
    return result;
}

void Record(HWND hwnd, Drawing drawing)
{
    auto& store = Store();
    std::lock_guard lock(store.mutex);
    auto& drawings = store.byWindow[hwnd];
    if (std::holds_alternative<FillDrawing>(drawing.what))
        std::erase_if(drawings, [&](const Drawing& d) { return Contains(drawing.bounds, d.bounds); });
    if (drawings.size() >= kMostOperations)
        drawings.erase(drawings.begin());
    drawings.push_back(std::move(drawing));
}

void ClearDrawing(HWND hwnd)
{
    auto& store = Store();
    std::lock_guard lock(store.mutex);
    store.byWindow.erase(hwnd);
}

} // namespace device
