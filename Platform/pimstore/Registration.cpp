// The application object is served in-process from the moment this library is loaded.
#include "OutlookApp.h"

#include "device/InprocServer.h"

namespace {

struct ClassRegistration {
    ClassRegistration() { device::RegisterInprocClass(CLSID_Application, device::contacts::OutlookApp::Create); }
    ~ClassRegistration() { device::UnregisterInprocClass(CLSID_Application); }
} g_registration;

} // namespace
