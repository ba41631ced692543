// Runs one piece of MAPI work against the device database and turns what went wrong into the
// documented codes: every entry point answers with an HRESULT, never an exception.
#pragma once

#include <mapicode.h>

#include "device/Database.h"

#include <new>
#include <stdexcept>

namespace device::mapi
{

inline HRESULT ErrorForDatabase(int code)
{
    switch (code & 0xFF) {
    case SQLITE_FULL: return MAPI_E_NOT_ENOUGH_DISK;
    case SQLITE_NOMEM: return MAPI_E_NOT_ENOUGH_MEMORY;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: return MAPI_E_CORRUPT_STORE;
    case SQLITE_IOERR: return MAPI_E_DISK_ERROR;
    default: return MAPI_E_CALL_FAILED;
    }
}

template <class Work> HRESULT Guarded(Work work)
{
    try {
        return work();
    } catch (const DatabaseError& e) {
        return ErrorForDatabase(e.Code());
    } catch (const std::bad_alloc&) {
        return MAPI_E_NOT_ENOUGH_MEMORY;
    } catch (const std::exception&) {
        return MAPI_E_CALL_FAILED;
    }
}

} // namespace device::mapi
