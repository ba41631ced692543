// The line functions of TAPI 2.0 that read the device's lines: sessions, version negotiation, and the
// capabilities of lines and addresses. This telephony supports versions 1.4 and 2.0, no provider
// extensions, and no completion ports.
#include <tapi.h>
#include <windows.h>

#include "LineApps.h"
#include "VarRecord.h"

#include "device/Database.h"

#include <cstddef>
#include <new>

using namespace device::telephony;

namespace {

constexpr DWORD kVersion14 = 0x00010004;
constexpr DWORD kVersion20 = 0x00020000;

bool IsSupportedVersion(DWORD version) { return version == kVersion14 || version == kVersion20; }

// What the session's device number names, or the failure to report.
struct LineLookup {
    std::shared_ptr<const LineApp> app;
    const Line* line = nullptr;
    LONG error = 0;
};

LineLookup LookUpLine(HLINEAPP hLineApp, DWORD dwDeviceID)
{
    LineLookup lookup{FindLineApp(hLineApp)};
    if (!lookup.app)
        lookup.error = LINEERR_INVALAPPHANDLE;
    else if (dwDeviceID >= lookup.app->lines.size())
        lookup.error = LINEERR_BADDEVICEID;
    else
        lookup.line = &lookup.app->lines[dwDeviceID];
    return lookup;
}

LONG CheckVersions(DWORD dwAPIVersion, DWORD dwExtVersion)
{
    if (!IsSupportedVersion(dwAPIVersion)) return LINEERR_INCOMPATIBLEAPIVERSION;
    if (dwExtVersion != 0) return LINEERR_INCOMPATIBLEEXTVERSION;
    return 0;
}

} // namespace

LONG WINAPI lineInitializeEx(LPHLINEAPP lphLineApp, HINSTANCE, LINECALLBACK lpfnCallback, LPCWSTR,
                             LPDWORD lpdwNumDevs, LPDWORD lpdwAPIVersion,
                             LPLINEINITIALIZEEXPARAMS lpLineInitializeExParams)
{
    if (!lphLineApp || !lpdwNumDevs || !lpdwAPIVersion || !lpLineInitializeExParams)
        return LINEERR_INVALPOINTER;
    LINEINITIALIZEEXPARAMS& params = *lpLineInitializeExParams;
    if (params.dwTotalSize < sizeof(LINEINITIALIZEEXPARAMS)) return LINEERR_STRUCTURETOOSMALL;
    switch (params.dwOptions) {
    case LINEINITIALIZEEXOPTION_USEHIDDENWINDOW:
        if (!lpfnCallback) return LINEERR_INVALPOINTER;
        break;
    case LINEINITIALIZEEXOPTION_USEEVENT: break;
    case LINEINITIALIZEEXOPTION_USECOMPLETIONPORT: return LINEERR_OPERATIONUNAVAIL;
    default: return LINEERR_INVALPARAM;
    }

    auto app = std::unique_ptr<LineApp>(new (std::nothrow) LineApp);
    if (!app) return LINEERR_NOMEM;
    try {
        app->lines = DeviceLines();
    } catch (const device::DatabaseError&) {
        return LINEERR_OPERATIONFAILED;
    } catch (const std::bad_alloc&) {
        return LINEERR_NOMEM;
    }
    // No line is ever opened here, so the event is never signalled, nor is the callback called.
    if (params.dwOptions == LINEINITIALIZEEXOPTION_USEEVENT) {
        app->event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (!app->event) return LINEERR_RESOURCEUNAVAIL;
    }
    params.dwNeededSize = params.dwUsedSize = sizeof(LINEINITIALIZEEXPARAMS);
    params.Handles.hEvent = app->event;
    *lpdwNumDevs = static_cast<DWORD>(app->lines.size());
    *lpdwAPIVersion = kVersion20;
    *lphLineApp = AddLineApp(std::move(app));
    return 0;
}

LONG WINAPI lineShutdown(HLINEAPP hLineApp)
{
    return RemoveLineApp(hLineApp) ? 0 : LINEERR_INVALAPPHANDLE;
}

LONG WINAPI lineNegotiateAPIVersion(HLINEAPP hLineApp, DWORD dwDeviceID, DWORD dwAPILowVersion,
                                    DWORD dwAPIHighVersion, LPDWORD lpdwAPIVersion, LPLINEEXTENSIONID lpExtensionID)
{
    LineLookup lookup = LookUpLine(hLineApp, dwDeviceID);
    if (lookup.error) return lookup.error;
    if (!lpdwAPIVersion || !lpExtensionID) return LINEERR_INVALPOINTER;
    DWORD version = 0;
    for (DWORD candidate : {kVersion20, kVersion14}) {
        if (dwAPILowVersion <= candidate && candidate <= dwAPIHighVersion) {
            version = candidate;
            break;
        }
    }
    if (!version) return LINEERR_INCOMPATIBLEAPIVERSION;
    *lpdwAPIVersion = version;
    *lpExtensionID = {}; // the providers offer no extensions
    return 0;
}

LONG WINAPI lineGetDevCaps(HLINEAPP hLineApp, DWORD dwDeviceID, DWORD dwAPIVersion, DWORD dwExtVersion,
                           LPLINEDEVCAPS lpLineDevCaps)
{
    LineLookup lookup = LookUpLine(hLineApp, dwDeviceID);
    if (lookup.error) return lookup.error;
    if (LONG error = CheckVersions(dwAPIVersion, dwExtVersion)) return error;
    if (!lpLineDevCaps) return LINEERR_INVALPOINTER;

    const Line& line = *lookup.line;
    LINEDEVCAPS caps{};
    caps.dwPermanentLineID = line.permanentId;
    caps.dwStringFormat = STRINGFORMAT_UNICODE;
    caps.dwAddressModes = LINEADDRESSMODE_ADDRESSID;
    caps.dwNumAddresses = static_cast<DWORD>(line.addresses.size());
    caps.dwBearerModes = line.bearerModes;
    caps.dwMediaModes = line.mediaModes;
    caps.dwMaxNumActiveCalls = 1;
    DWORD fixedSize =
        dwAPIVersion == kVersion20 ? sizeof(LINEDEVCAPS) : offsetof(LINEDEVCAPS, dwSettableDevStatus);
    return FillRecord<LINEDEVCAPS>(
        lpLineDevCaps, fixedSize, caps,
        {{line.provider, &LINEDEVCAPS::dwProviderInfoSize, &LINEDEVCAPS::dwProviderInfoOffset},
         {line.name, &LINEDEVCAPS::dwLineNameSize, &LINEDEVCAPS::dwLineNameOffset}});
}

LONG WINAPI lineGetAddressCaps(HLINEAPP hLineApp, DWORD dwDeviceID, DWORD dwAddressID, DWORD dwAPIVersion,
                               DWORD dwExtVersion, LPLINEADDRESSCAPS lpAddressCaps)
{
    LineLookup lookup = LookUpLine(hLineApp, dwDeviceID);
    if (lookup.error) return lookup.error;
    if (dwAddressID >= lookup.line->addresses.size()) return LINEERR_INVALADDRESSID;
    if (LONG error = CheckVersions(dwAPIVersion, dwExtVersion)) return error;
    if (!lpAddressCaps) return LINEERR_INVALPOINTER;

    LINEADDRESSCAPS caps{};
    caps.dwLineDeviceID = dwDeviceID;
    caps.dwAddressSharing = LINEADDRESSSHARING_PRIVATE;
    caps.dwMaxNumActiveCalls = 1;
    DWORD fixedSize = dwAPIVersion == kVersion20 ? sizeof(LINEADDRESSCAPS)
                                                 : offsetof(LINEADDRESSCAPS, dwPredictiveAutoTransferStates);
    return FillRecord<LINEADDRESSCAPS>(
        lpAddressCaps, fixedSize, caps,
        {{lookup.line->addresses[dwAddressID], &LINEADDRESSCAPS::dwAddressSize, &LINEADDRESSCAPS::dwAddressOffset}});
}
