// The snapshot as a phone screen in text: the title, each control on a line in layout order, list rows
// with what was drawn for them, an open menu or message box, and the two soft keys at the bottom.
// Marks: '>' a selected row, '*' the focused control, '[x]' a checked box, '(…)' something greyed,
// '~…~' a row drawn struck out, '[…]' the part of a focused date-time picker being edited, '[###---]' a
// progress bar.
#include "automation/Snapshot.h"

#include <algorithm>

namespace device::automation {

namespace {

constexpr size_t kScreenColumns = 32;

std::u16string Greyed(const std::u16string& text, bool enabled) { return enabled ? text : u"(" + text + u")"; }

// A progress bar as twenty cells, each filled once the bar has reached it.
std::u16string BarText(const ProgressState& bar)
{
    constexpr int kCells = 20;
    long long span = static_cast<long long>(bar.high) - bar.low;
    long long done = span > 0 ? (static_cast<long long>(bar.position) - bar.low) * kCells / span : 0;
    int filled = static_cast<int>(std::clamp<long long>(done, 0, kCells));
    return u"[" + std::u16string(static_cast<size_t>(filled), u'#') + std::u16string(kCells - filled, u'-') + u"]";
}

std::u16string RowText(const Row& row)
{
    std::u16string text;
    for (const auto& part : row.drawn) {
        if (part.empty())
            continue;
        if (!text.empty())
            text += u" | ";
        text += part;
    }
    if (text.empty())
        text = row.text;
    if (row.dimmed)
        text = u"~" + text + u"~";
    return (row.selected ? u"> " : u"  ") + text;
}

bool IsClass(const WindowNode& node, std::u16string_view name)
{
    if (node.className.size() != name.size())
        return false;
    return std::equal(name.begin(), name.end(), node.className.begin(),
                      [](char16_t a, char16_t b) { return std::tolower(a) == std::tolower(b); });
}

void RenderNode(const WindowNode& node, std::vector<std::u16string>& lines)
{
    if (!node.visible)
        return;
    std::u16string focus = node.focused ? u"*" : u"";
    if (node.rows) {
        if (node.rows->empty() && !node.text.empty())
            lines.push_back(focus + u"  " + node.text);
        // The focus mark goes on the selected row only, so a focused list stays readable.
        for (const Row& row : *node.rows)
            lines.push_back((node.focused ? (row.selected ? u"*" : u" ") : u"") + RowText(row));
    } else if (node.checked) {
        lines.push_back(focus + (*node.checked ? u"[x] " : u"[ ] ") + Greyed(node.text, node.enabled));
    } else if (node.readonly) {
        lines.push_back(focus + u"[" + node.text + u"]" + (*node.readonly ? u" (read-only)" : u""));
    } else if (node.field && node.field->start + node.field->length <= node.text.size()) {
        const TextRange& field = *node.field;
        lines.push_back(focus + node.text.substr(0, field.start) + u"[" + node.text.substr(field.start, field.length) +
                        u"]" + node.text.substr(field.start + field.length));
    } else if (node.progress) {
        lines.push_back(focus + BarText(*node.progress));
    } else if (IsClass(node, u"Button")) {
        lines.push_back(focus + u"<" + Greyed(node.text, node.enabled) + u">");
    } else if (!node.text.empty() && node.children.empty()) {
        lines.push_back(focus + Greyed(node.text, node.enabled));
    }
    std::vector<const WindowNode*> children;
    for (const auto& child : node.children)
        children.push_back(&child);
    std::stable_sort(children.begin(), children.end(), [](const WindowNode* a, const WindowNode* b) {
        return a->rect.top != b->rect.top ? a->rect.top < b->rect.top : a->rect.left < b->rect.left;
    });
    for (const WindowNode* child : children)
        RenderNode(*child, lines);
}

std::u16string SoftKeyLine(const std::vector<SoftKey>& keys)
{
    std::u16string left = keys.size() > 0 ? Greyed(keys[0].label, keys[0].enabled) : u"";
    std::u16string right = keys.size() > 1 ? Greyed(keys[1].label, keys[1].enabled) : u"";
    size_t gap = left.size() + right.size() + 1 < kScreenColumns ? kScreenColumns - left.size() - right.size() : 1;
    return left + std::u16string(gap, u' ') + right;
}

} // namespace

std::u16string RenderText(const Snapshot& snapshot)
{
    std::vector<std::u16string> lines;
    lines.push_back(snapshot.title + (snapshot.waitCursor ? u"  (busy)" : u""));
    lines.push_back(std::u16string(kScreenColumns, u'-'));
    for (const auto& window : snapshot.windows)
        for (const auto& child : window.children)
            RenderNode(child, lines);
    if (snapshot.messageBox) {
        const auto& box = *snapshot.messageBox;
        lines.push_back(u"+-- " + box.caption + u" --");
        lines.push_back(u"| " + box.text);
        std::u16string buttons = u"|";
        for (const auto& button : box.buttons)
            buttons += u" [" + button + u"]";
        lines.push_back(buttons);
        lines.push_back(u"+--");
    }
    if (snapshot.menu) {
        lines.push_back(u"  .-- menu --");
        for (const auto& item : *snapshot.menu) {
            if (item.separator)
                lines.push_back(u"  | ----");
            else
                lines.push_back(u"  | " + std::u16string(item.checked ? u"* " : u"") + Greyed(item.text, item.enabled));
        }
        lines.push_back(u"  '--");
    }
    lines.push_back(std::u16string(kScreenColumns, u'-'));
    lines.push_back(SoftKeyLine(snapshot.softKeys));
    std::u16string text;
    for (const auto& line : lines)
        text += line + u"\n";
    return text;
}

} // namespace device::automation
