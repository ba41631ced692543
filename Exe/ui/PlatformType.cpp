#include "ui/PlatformType.h"

int GetPlatformType()
{
    WCHAR text[64] = {};
    if (!SystemParametersInfoW(SPI_GETPLATFORMTYPE, 64, text, 0))
        return kPlatformUnknown;
    text[63] = 0;
    if (lstrcmpW(text, TEXT("PocketPC")) == 0)
        return kPlatformPocketPC;
    if (lstrcmpW(text, TEXT("SmartPhone")) == 0)
        return kPlatformSmartphone;
    return kPlatformUnknown;
}

bool IsPocketPC()
{
    return GetPlatformType() == kPlatformPocketPC;
}
