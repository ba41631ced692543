// The interface identifiers of the messaging API.
#include <mapix.h>

namespace
{
constexpr GUID MapiGuid(DWORD first)
{
    return {first, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
}
} // namespace

const IID IID_IMAPISession = MapiGuid(0x00020300);
const IID IID_IMAPITable = MapiGuid(0x00020301);
const IID IID_IMAPIProp = MapiGuid(0x00020303);
const IID IID_IMsgStore = MapiGuid(0x00020306);
const IID IID_IMessage = MapiGuid(0x00020307);
const IID IID_IMAPIContainer = MapiGuid(0x0002030B);
const IID IID_IMAPIFolder = MapiGuid(0x0002030C);
const IID IID_IAttachment = MapiGuid(0x00020308);
