#include "user/DialogTemplate.h"

#include "user/TemplateReader.h"

namespace device {

namespace {

std::u16string ItemClass(const NameOrOrdinal& cls)
{
    return cls.ordinal ? PredefinedClassName(cls.ordinal) : cls.name;
}

void ReadFont(TemplateReader& in, DialogTemplate& dialog)
{
    FontRequest font;
    font.pointSize = in.Word();
    if (dialog.extended) {
        font.weight = in.Word();
        font.italic = in.Byte() != 0;
        font.charset = in.Byte();
    }
    font.face = in.String();
    dialog.font = font;
}

// DLGITEMTEMPLATE: style, extended style, rectangle, 16-bit id; creation data counted with its size word.
DialogItemTemplate ReadItem(TemplateReader& in)
{
    DialogItemTemplate item;
    item.style = in.Dword();
    item.exStyle = in.Dword();
    item.x = in.Short();
    item.y = in.Short();
    item.cx = in.Short();
    item.cy = in.Short();
    item.id = in.Word();
    item.className = ItemClass(in.NameOrNumber());
    item.title = in.NameOrNumber();
    WORD size = in.Word();
    if (size > sizeof(WORD))
        item.creationData = in.Bytes(size - sizeof(WORD));
    return item;
}

// DLGITEMTEMPLATEEX: help id first, 32-bit id; the creation data count excludes its own word.
DialogItemTemplate ReadItemEx(TemplateReader& in)
{
    DialogItemTemplate item;
    item.helpId = in.Dword();
    item.exStyle = in.Dword();
    item.style = in.Dword();
    item.x = in.Short();
    item.y = in.Short();
    item.cx = in.Short();
    item.cy = in.Short();
    item.id = in.Dword();
    item.className = ItemClass(in.NameOrNumber());
    item.title = in.NameOrNumber();
    WORD size = in.Word();
    if (size > 0)
        item.creationData = in.Bytes(size);
    return item;
}

} // namespace

std::u16string PredefinedClassName(WORD ordinal)
{
    switch (ordinal) {
    case 0x0080: return u"Button";
    case 0x0081: return u"Edit";
    case 0x0082: return u"Static";
    case 0x0083: return u"ListBox";
    case 0x0084: return u"ScrollBar";
    case 0x0085: return u"ComboBox";
    }
    std::u16string name = u"#";
    for (char c : std::to_string(ordinal))
        name.push_back(static_cast<char16_t>(c));
    return name;
}

std::optional<DialogTemplate> ParseDialogTemplate(const void* data, size_t size)
{
    if (!data)
        return std::nullopt;
    TemplateReader in(static_cast<const BYTE*>(data), size);
    DialogTemplate dialog;

    // DLGTEMPLATEEX opens with version 1 and the signature 0xFFFF where DLGTEMPLATE has its style.
    WORD version = in.Word();
    WORD signature = in.Word();
    if (!in.Ok())
        return std::nullopt;
    dialog.extended = version == 1 && signature == 0xFFFF;
    if (dialog.extended) {
        dialog.helpId = in.Dword();
        dialog.exStyle = in.Dword();
        dialog.style = in.Dword();
    } else {
        dialog.style = static_cast<DWORD>(version) | static_cast<DWORD>(signature) << 16;
        dialog.exStyle = in.Dword();
    }
    WORD count = in.Word();
    dialog.x = in.Short();
    dialog.y = in.Short();
    dialog.cx = in.Short();
    dialog.cy = in.Short();
    dialog.menu = in.NameOrNumber();
    dialog.className = in.NameOrNumber();
    dialog.title = in.String();
    if (dialog.style & DS_SETFONT)
        ReadFont(in, dialog);

    for (WORD i = 0; i < count && in.Ok(); ++i) {
        in.Align(sizeof(DWORD));
        dialog.items.push_back(dialog.extended ? ReadItemEx(in) : ReadItem(in));
    }
    if (!in.Ok())
        return std::nullopt;
    return dialog;
}

} // namespace device
