#include "registry/Names.h"

#include <winreg.h>

#include <unicode/uchar.h>
#include <unicode/ustring.h>

#include <stdexcept>

namespace device::registry {

namespace {

bool IsHighSurrogate(char32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void AppendUtf8(char32_t cp, std::string* out)
{
    if (cp < 0x80) {
        out->push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

void AppendUtf16(char32_t cp, std::u16string* out)
{
    if (cp < 0x10000) {
        out->push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out->push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out->push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

} // namespace

std::string StoredText(std::u16string_view name)
{
    std::string out;
    out.reserve(name.size());
    for (size_t i = 0; i < name.size(); ++i) {
        char32_t unit = name[i];
        if (IsHighSurrogate(unit) && i + 1 < name.size() && IsLowSurrogate(name[i + 1])) {
            AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (name[i + 1] - 0xDC00), &out);
            ++i;
        } else {
            AppendUtf8(unit, &out);
        }
    }
    return out;
}

// Reads back what StoredText wrote; the database holds nothing else in these columns.
std::u16string NameFromStored(std::string_view stored)
{
    std::u16string out;
    out.reserve(stored.size());
    size_t i = 0;
    while (i < stored.size()) {
        auto byte = static_cast<unsigned char>(stored[i]);
        int extra = byte < 0x80 ? 0 : byte < 0xE0 ? 1 : byte < 0xF0 ? 2 : 3;
        char32_t cp = extra == 0 ? byte : extra == 1 ? byte & 0x1F : extra == 2 ? byte & 0x0F : byte & 0x07;
        for (int k = 1; k <= extra && i + k < stored.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(stored[i + k]) & 0x3F);
        AppendUtf16(cp, &out);
        i += extra + 1;
    }
    return out;
}

std::string Folded(std::u16string_view name)
{
    if (name.empty())
        return {};
    // Full case folding may lengthen a name (ß folds to ss); ask ICU for the size first.
    UErrorCode status = U_ZERO_ERROR;
    int32_t size = u_strFoldCase(nullptr, 0, name.data(), static_cast<int32_t>(name.size()),
                                 U_FOLD_CASE_DEFAULT, &status);
    if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status))
        throw std::runtime_error("case folding failed");
    std::u16string folded(static_cast<size_t>(size), u'\0');
    status = U_ZERO_ERROR;
    u_strFoldCase(folded.data(), size, name.data(), static_cast<int32_t>(name.size()), U_FOLD_CASE_DEFAULT,
                  &status);
    if (U_FAILURE(status))
        throw std::runtime_error("case folding failed");
    return StoredText(folded);
}

LONG SplitSubKey(std::u16string_view path, std::vector<std::u16string_view>* names)
{
    names->clear();
    if (path.empty())
        return ERROR_SUCCESS;
    if (path.front() == u'\\')
        return ERROR_BAD_PATHNAME;
    if (path.back() == u'\\')
        path.remove_suffix(1);
    for (;;) {
        size_t end = path.find(u'\\');
        std::u16string_view name = path.substr(0, end);
        if (name.empty())
            return ERROR_BAD_PATHNAME;
        if (name.size() > MAX_REG_KEY_NAME)
            return ERROR_INVALID_PARAMETER;
        names->push_back(name);
        if (end == std::u16string_view::npos)
            return ERROR_SUCCESS;
        path.remove_prefix(end + 1);
    }
}

std::u16string_view View(const char16_t* text)
{
    return text ? std::u16string_view(text) : std::u16string_view();
}

} // namespace device::registry
