// The process's telephony sessions (lineInitializeEx to lineShutdown). Each keeps the lines as they were
// when it began, so the device numbers it was told stay valid for its whole life.
#pragma once

#include "Lines.h"

#include <tapi.h>

#include <memory>

namespace device::telephony {

struct LineApp {
    std::vector<Line> lines;
    HANDLE event = nullptr; // the event of LINEINITIALIZEEXOPTION_USEEVENT, closed at shutdown

    ~LineApp();
};

HLINEAPP AddLineApp(std::unique_ptr<LineApp> app);
std::shared_ptr<const LineApp> FindLineApp(HLINEAPP handle);
std::shared_ptr<LineApp> RemoveLineApp(HLINEAPP handle);

} // namespace device::telephony
