// Image lists: icons of one size kept in order and drawn by index. Images come from icons only; the
// list keeps its own copy, so the icon may be destroyed once it is added.
#include <windows.h>

#include <commctrl.h>

#include "gdi/Canvas.h"
#include "gdi/Icons.h"

#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace {

struct ImageList {
    int cx = 0;
    int cy = 0;
    UINT flags = 0;
    std::vector<std::shared_ptr<const device::IconImage>> images;
};

class ImageLists {
public:
    static ImageLists& Instance()
    {
        static ImageLists* lists = new ImageLists; // lists may be used while static destructors run
        return *lists;
    }

    HIMAGELIST Add(ImageList list)
    {
        std::lock_guard lock(m_mutex);
        // A tag above the low 32 bits keeps these apart from every other handle of the platform.
        auto handle = reinterpret_cast<HIMAGELIST>((uintptr_t{0x6C} << 32) | m_nextSerial++);
        m_lists.emplace(handle, std::move(list));
        return handle;
    }

    bool Remove(HIMAGELIST handle)
    {
        std::lock_guard lock(m_mutex);
        return m_lists.erase(handle) > 0;
    }

    // Runs change on a list under the lock; false for a handle that names none.
    template <class F>
    bool With(HIMAGELIST handle, F change)
    {
        std::lock_guard lock(m_mutex);
        auto it = m_lists.find(handle);
        if (it == m_lists.end())
            return false;
        change(it->second);
        return true;
    }

private:
    std::mutex m_mutex;
    std::unordered_map<HIMAGELIST, ImageList> m_lists;
    uint32_t m_nextSerial = 1;
};

bool InRange(const ImageList& list, int i) { return i >= 0 && static_cast<size_t>(i) < list.images.size(); }

} // namespace

HIMAGELIST WINAPI ImageList_Create(int cx, int cy, UINT flags, int cInitial, int cGrow)
{
    if (cx <= 0 || cy <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return ImageLists::Instance().Add(ImageList{cx, cy, flags, {}});
}

BOOL WINAPI ImageList_Destroy(HIMAGELIST himl) { return ImageLists::Instance().Remove(himl); }

int WINAPI ImageList_ReplaceIcon(HIMAGELIST himl, int i, HICON hicon)
{
    auto image = device::IconOf(hicon);
    if (!image)
        return -1;
    int index = -1;
    ImageLists::Instance().With(himl, [&](ImageList& list) {
        if (i == -1) {
            list.images.push_back(image);
            index = static_cast<int>(list.images.size()) - 1;
        } else if (InRange(list, i)) {
            list.images[i] = image;
            index = i;
        }
    });
    return index;
}

BOOL WINAPI ImageList_Remove(HIMAGELIST himl, int i)
{
    bool removed = false;
    ImageLists::Instance().With(himl, [&](ImageList& list) {
        if (i == -1) {
            list.images.clear();
            removed = true;
        } else if (InRange(list, i)) {
            list.images.erase(list.images.begin() + i);
            removed = true;
        }
    });
    return removed;
}

BOOL WINAPI ImageList_Draw(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, UINT fStyle)
{
    std::shared_ptr<const device::IconImage> image;
    RECT rect{};
    ImageLists::Instance().With(himl, [&](ImageList& list) {
        if (InRange(list, i)) {
            image = list.images[i];
            rect = RECT{x, y, x + list.cx, y + list.cy};
        }
    });
    if (!image)
        return FALSE;
    auto canvas = device::CanvasOf(hdcDst);
    if (!canvas)
        return FALSE;
    device::Paint(*canvas, device::Drawing{device::IconDrawing{image, rect, fStyle}, rect});
    return TRUE;
}

BOOL WINAPI ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy)
{
    if (!cx || !cy)
        return FALSE;
    return ImageLists::Instance().With(himl, [&](ImageList& list) {
        *cx = list.cx;
        *cy = list.cy;
    });
}

int WINAPI ImageList_GetImageCount(HIMAGELIST himl)
{
    int count = 0;
    ImageLists::Instance().With(himl, [&](ImageList& list) { count = static_cast<int>(list.images.size()); });
    return count;
}
