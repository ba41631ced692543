// Builds the scene of the foreground window: the windows of its family in the order the device paints them,
// each with its drawing record, and the shell's title, soft keys and open menu.
#include "automation/Scene.h"

#include <commctrl.h>

#include "device/ShellHooks.h"
#include "user/Input.h"
#include "user/PopupMenu.h"
#include "user/Screen.h"
#include "user/Window.h"

namespace device::automation {

namespace {

struct Family {
    std::vector<HWND> children; // bottom first
    std::vector<HWND> owned;    // oldest first: a newer window opens on top
};

Family FamilyOf(HWND hwnd)
{
    Family family;
    auto& table = WindowTable::Instance();
    auto lock = table.Lock();
    auto window = table.Find(hwnd);
    if (!window)
        return family;
    // Children are listed top first; owned windows are listed there too, in the order they were made.
    for (HWND member : window->children) {
        auto other = table.Find(member);
        if (!other)
            continue;
        if (other->parent == hwnd)
            family.children.insert(family.children.begin(), member);
        else
            family.owned.push_back(member);
    }
    return family;
}

// A window, then its children back to front, then the windows it owns, which lie above it.
void AddPanes(HWND hwnd, const RECT& area, std::vector<ScenePane>& panes)
{
    if (!IsWindowVisible(hwnd))
        return;
    ScenePane pane;
    pane.client = ScreenRect(hwnd);
    IntersectRect(&pane.visible, &pane.client, &area);
    pane.drawing = DrawingOf(hwnd);
    RECT inside = pane.visible;
    panes.push_back(std::move(pane));
    Family family = FamilyOf(hwnd);
    for (HWND child : family.children)
        AddPanes(child, inside, panes);
    for (HWND owned : family.owned)
        AddPanes(owned, ScreenBounds(), panes);
}

HWND RootOwner(HWND hwnd)
{
    for (HWND owner = GetWindow(hwnd, GW_OWNER); owner; owner = GetWindow(hwnd, GW_OWNER))
        hwnd = owner;
    return hwnd;
}

bool IsDescendant(HWND ancestor, HWND hwnd)
{
    for (HWND parent = GetParent(hwnd); parent; parent = GetParent(parent))
        if (parent == ancestor)
            return true;
    return false;
}

// A focused control of the screen other than a list, whose selected row shows where it is.
std::optional<RECT> FocusOf(HWND foreground)
{
    HWND focus = GetFocus();
    if (!focus || focus == foreground || !IsWindowVisible(focus) || !IsDescendant(foreground, focus))
        return std::nullopt;
    WCHAR name[64] = {};
    GetClassNameW(focus, name, 64);
    std::u16string folded = FoldCase(name);
    if (folded == FoldCase(WC_LISTVIEWW) || folded == FoldCase(u"ListBox"))
        return std::nullopt;
    return ScreenRect(focus);
}

std::u16string TitleOf(HWND hwnd)
{
    WCHAR text[256] = {};
    GetWindowTextW(hwnd, text, 256);
    return text;
}

} // namespace

Scene BareScene()
{
    Scene scene;
    RECT screen = ScreenBounds();
    scene.width = screen.right - screen.left;
    scene.height = screen.bottom - screen.top;
    scene.dpi = ScreenDpi();
    scene.titleHeight = GetSystemMetrics(SM_CYCAPTION);
    scene.softKeyHeight = GetSystemMetrics(SM_CYMENU);
    return scene;
}

Scene TakeScene()
{
    Scene scene = BareScene();
    scene.waitCursor = IsWaitCursor();
    HWND foreground = GetForegroundWindow();
    if (!foreground || !IsWindowVisible(foreground))
        return scene;
    scene.title = TitleOf(foreground);
    AddPanes(RootOwner(foreground), ScreenBounds(), scene.panes);
    scene.focus = FocusOf(foreground);
    if (auto shell = QueryShellViewOver(foreground))
        for (const auto& key : shell->softKeys)
            scene.softKeys.push_back(SoftKey{key.label, key.enabled});
    if (auto menu = CurrentPopupMenu()) {
        SceneMenu shown;
        shown.highlighted = menu->highlighted;
        for (const auto& item : menu->items)
            shown.items.push_back(MenuEntry{item.text, item.id, item.enabled, item.checked, item.separator});
        scene.menu = std::move(shown);
    }
    return scene;
}

} // namespace device::automation
