// The snapshot as JSON, with the field names scripts rely on.
#include "automation/Snapshot.h"

#include "device/Json.h"

namespace device::automation {

namespace {

Json Texts(const std::vector<std::u16string>& texts)
{
    Json list = Json::array();
    for (const auto& text : texts)
        list.push_back(JsonText(text));
    return list;
}

Json RowsOf(const std::vector<Row>& rows)
{
    Json list = Json::array();
    for (const Row& row : rows)
        list.push_back({{"index", row.index},
                        {"text", JsonText(row.text)},
                        {"data", static_cast<long long>(row.data)},
                        {"selected", row.selected},
                        {"drawn", Texts(row.drawn)},
                        {"dimmed", row.dimmed}});
    return list;
}

Json WindowOf(const WindowNode& node)
{
    Json window = {{"class", JsonText(node.className)},
                   {"id", node.id},
                   {"text", JsonText(node.text)},
                   {"rect", {node.rect.left, node.rect.top, node.rect.right, node.rect.bottom}},
                   {"visible", node.visible},
                   {"enabled", node.enabled},
                   {"focused", node.focused}};
    if (node.checked)
        window["checked"] = *node.checked;
    if (node.readonly)
        window["readonly"] = *node.readonly;
    if (node.rows)
        window["rows"] = RowsOf(*node.rows);
    if (node.field)
        window["field"] = {{"start", node.field->start}, {"length", node.field->length}};
    if (node.progress)
        window["progress"] = {
            {"low", node.progress->low}, {"high", node.progress->high}, {"position", node.progress->position}};
    Json children = Json::array();
    for (const auto& child : node.children)
        children.push_back(WindowOf(child));
    window["children"] = std::move(children);
    return window;
}

} // namespace

Json SoftKeysJson(const std::vector<SoftKey>& keys)
{
    Json list = Json::array();
    for (const SoftKey& key : keys)
        list.push_back({{"label", JsonText(key.label)}, {"enabled", key.enabled}});
    return list;
}

Json MenuItemsJson(const std::vector<MenuEntry>& items)
{
    Json list = Json::array();
    for (const MenuEntry& item : items)
        list.push_back({{"text", JsonText(item.text)},
                        {"id", item.id},
                        {"enabled", item.enabled},
                        {"checked", item.checked},
                        {"separator", item.separator}});
    return list;
}

std::string ToJson(const Snapshot& snapshot)
{
    Json windows = Json::array(), menu = nullptr, messageBox = nullptr;
    for (const auto& window : snapshot.windows)
        windows.push_back(WindowOf(window));
    if (snapshot.menu)
        menu = {{"items", MenuItemsJson(*snapshot.menu)}};
    if (const auto& box = snapshot.messageBox)
        messageBox = {{"text", JsonText(box->text)},
                      {"caption", JsonText(box->caption)},
                      {"icon", box->icon},
                      {"buttons", Texts(box->buttons)}};
    return Dump({{"title", JsonText(snapshot.title)},
                 {"windows", std::move(windows)},
                 {"softkeys", SoftKeysJson(snapshot.softKeys)},
                 {"menu", std::move(menu)},
                 {"messagebox", std::move(messageBox)},
                 {"cursor", snapshot.waitCursor ? "wait" : "normal"}});
}

} // namespace device::automation
