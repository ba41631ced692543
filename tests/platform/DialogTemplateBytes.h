// Dialog templates laid out in memory byte by byte, as a resource compiler writes DIALOG and DIALOGEX
// resources, for the tests of the dialog manager.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

struct ItemBytes {
    std::u16string className; // used when classOrdinal is 0
    WORD classOrdinal = 0;    // 0x0080 Button ... 0x0085 ComboBox
    std::u16string text;
    WORD textOrdinal = 0; // a resource number in place of the text
    DWORD id = 0;
    DWORD style = WS_CHILD | WS_VISIBLE;
    short x = 0, y = 0, cx = 10, cy = 10;
    std::vector<BYTE> data; // creation data
    DWORD exStyle = 0;
    DWORD helpId = 0;
};

struct DialogBytes {
    bool extended = false;
    DWORD style = WS_POPUP;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 100, cy = 80;
    std::u16string title;
    std::u16string className;
    WORD menuOrdinal = 0;
    WORD pointSize = 0; // with DS_SETFONT
    WORD weight = 400;
    BYTE italic = 0;
    std::u16string face;
    std::vector<ItemBytes> items;

    std::vector<BYTE> Build() const
    {
        Writer out;
        if (extended) {
            out.Word(1);
            out.Word(0xFFFF);
            out.Dword(0); // help id
            out.Dword(exStyle);
            out.Dword(style);
        } else {
            out.Dword(style);
            out.Dword(exStyle);
        }
        out.Word(static_cast<WORD>(items.size()));
        out.Rect(x, y, cx, cy);
        if (menuOrdinal)
            out.Ordinal(menuOrdinal);
        else
            out.Word(0);
        out.String(className);
        out.String(title);
        if (style & DS_SETFONT) {
            out.Word(pointSize);
            if (extended) {
                out.Word(weight);
                out.Byte(italic);
                out.Byte(1);
            }
            out.String(face);
        }
        for (const auto& item : items) {
            out.Align(4);
            if (extended) {
                out.Dword(item.helpId);
                out.Dword(item.exStyle);
                out.Dword(item.style);
                out.Rect(item.x, item.y, item.cx, item.cy);
                out.Dword(item.id);
            } else {
                out.Dword(item.style);
                out.Dword(item.exStyle);
                out.Rect(item.x, item.y, item.cx, item.cy);
                out.Word(static_cast<WORD>(item.id));
            }
            if (item.classOrdinal)
                out.Ordinal(item.classOrdinal);
            else
                out.String(item.className);
            if (item.textOrdinal)
                out.Ordinal(item.textOrdinal);
            else
                out.String(item.text);
            // DIALOG counts the size word in the creation data's size; DIALOGEX does not.
            if (item.data.empty())
                out.Word(0);
            else
                out.Word(static_cast<WORD>(item.data.size() + (extended ? 0 : sizeof(WORD))));
            for (BYTE b : item.data)
                out.Byte(b);
        }
        return out.bytes;
    }

private:
    struct Writer {
        std::vector<BYTE> bytes;
        void Byte(BYTE b) { bytes.push_back(b); }
        void Word(WORD w)
        {
            Byte(static_cast<BYTE>(w));
            Byte(static_cast<BYTE>(w >> 8));
        }
        void Dword(DWORD d)
        {
            Word(static_cast<WORD>(d));
            Word(static_cast<WORD>(d >> 16));
        }
        void Rect(short x, short y, short cx, short cy)
        {
            Word(static_cast<WORD>(x));
            Word(static_cast<WORD>(y));
            Word(static_cast<WORD>(cx));
            Word(static_cast<WORD>(cy));
        }
        void Ordinal(WORD n)
        {
            Word(0xFFFF);
            Word(n);
        }
        void String(const std::u16string& text)
        {
            for (char16_t c : text)
                Word(static_cast<WORD>(c));
            Word(0);
        }
        void Align(size_t boundary)
        {
            while (bytes.size() % boundary)
                Byte(0);
        }
    };
};

// The bytes as a template pointer (std::vector's storage is aligned for any field).
inline LPCDLGTEMPLATE AsTemplate(const std::vector<BYTE>& bytes)
{
    return reinterpret_cast<LPCDLGTEMPLATE>(bytes.data());
}

} // namespace testing_support
