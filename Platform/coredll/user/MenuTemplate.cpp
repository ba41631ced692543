// MENU (version 0) and MENUEX (version 1) resources into menus.
#include "user/Menu.h"
#include "user/TemplateReader.h"

namespace device {

namespace {

constexpr WORD kLastItem = 0x80; // MF_END, and the MENUEX "last item" flag
constexpr WORD kExPopup = 0x01;  // MENUEX: the item opens a submenu

// A MENU item's flags: MF_GRAYED, MF_DISABLED and MF_CHECKED are states, the breaks and MF_HELP types.
MenuItem PlainItem(WORD flags)
{
    MenuItem item;
    item.state = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
    item.type = flags & (MF_MENUBARBREAK | MF_MENUBREAK | MF_HELP | MF_SEPARATOR);
    return item;
}

// MENUITEM SEPARATOR is written as an item with no text and no command (in MENUEX too, by some
// compilers, without MFT_SEPARATOR).
void MarkSeparator(MenuItem& item)
{
    if (!item.submenu && item.id == 0 && item.text.empty())
        item.type |= MFT_SEPARATOR;
}

bool ReadPlainItems(TemplateReader& in, Menu& menu, int depth);
bool ReadExItems(TemplateReader& in, Menu& menu, int depth);

// Submenus nest no deeper than this, so a looping or hostile resource cannot exhaust the stack.
constexpr int kMaxDepth = 16;

template <typename ReadItems>
HMENU Submenu(TemplateReader& in, int depth, ReadItems read)
{
    auto& table = MenuTable::Instance();
    HMENU handle = table.Add(true);
    auto menu = table.Find(handle);
    if (depth >= kMaxDepth || !read(in, *menu, depth + 1)) {
        table.Destroy(handle);
        return nullptr;
    }
    return handle;
}

bool ReadPlainItems(TemplateReader& in, Menu& menu, int depth)
{
    for (;;) {
        WORD flags = in.Word();
        if (!in.Ok())
            return false;
        MenuItem item = PlainItem(flags);
        if (!(flags & MF_POPUP))
            item.id = in.Word();
        item.text = in.String();
        if (!in.Ok())
            return false;
        if (flags & MF_POPUP) {
            item.submenu = Submenu(in, depth, ReadPlainItems);
            if (!item.submenu)
                return false;
        }
        MarkSeparator(item);
        menu.items.push_back(std::move(item));
        if (flags & kLastItem)
            return true;
    }
}

bool ReadExItems(TemplateReader& in, Menu& menu, int depth)
{
    for (;;) {
        in.Align(sizeof(DWORD));
        MenuItem item;
        item.type = in.Dword();
        item.state = in.Dword();
        item.id = in.Dword();
        WORD flags = in.Word();
        item.text = in.String();
        if (!in.Ok())
            return false;
        if (flags & kExPopup) {
            in.Align(sizeof(DWORD));
            in.Dword(); // help id
            item.submenu = Submenu(in, depth, ReadExItems);
            if (!item.submenu)
                return false;
        }
        MarkSeparator(item);
        menu.items.push_back(std::move(item));
        if (flags & kLastItem)
            return true;
    }
}

} // namespace

HMENU MenuFromTemplate(const void* data, size_t size)
{
    if (!data)
        return nullptr;
    TemplateReader in(static_cast<const BYTE*>(data), size);
    WORD version = in.Word();
    WORD offset = in.Word(); // from the end of these two words to the first item
    if (!in.Ok() || version > 1)
        return nullptr;
    in.Bytes(offset);
    auto& table = MenuTable::Instance();
    HMENU handle = table.Add(false);
    auto menu = table.Find(handle);
    bool ok = version == 0 ? ReadPlainItems(in, *menu, 0) : ReadExItems(in, *menu, 0);
    if (!ok) {
        table.Destroy(handle);
        return nullptr;
    }
    return handle;
}

} // namespace device
