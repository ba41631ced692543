// IMAPIProp for the store's objects (message stores, folders, messages): GetProps and SetProps over the
// object's values. On the device a change is saved as it is made, so SaveChanges is not offered, and a
// SetProps either stores every value it was given or, on the first bad one, none.
#pragma once

#include "Guarded.h"
#include "Object.h"
#include "Value.h"

#include <vector>

namespace device::mapi
{

template <class Interface> class PropObject : public Object<Interface>
{
  public:
    STDMETHODIMP GetProps(LPSPropTagArray lpPropTagArray, ULONG, ULONG* lpcValues,
                          LPSPropValue* lppPropArray) override
    {
        if (lpcValues) *lpcValues = 0;
        if (lppPropArray) *lppPropArray = nullptr;
        if (!lpPropTagArray || lpPropTagArray->cValues == 0 || !lpcValues || !lppPropArray)
            return MAPI_E_INVALID_PARAMETER;
        return Guarded([&] {
            std::vector<Value> current;
            HRESULT hr = ReadValues(&current);
            if (FAILED(hr)) return hr;
            std::vector<Value> answer;
            bool missing = false;
            for (ULONG i = 0; i < lpPropTagArray->cValues; ++i) {
                answer.push_back(Select(lpPropTagArray->aulPropTag[i], current));
                missing |= PROP_TYPE(answer.back().tag) == PT_ERROR;
            }
            hr = ToPropArray(answer, lppPropArray);
            if (FAILED(hr)) return hr;
            *lpcValues = static_cast<ULONG>(answer.size());
            return missing ? MAPI_W_ERRORS_RETURNED : S_OK;
        });
    }

    STDMETHODIMP SetProps(ULONG cValues, LPSPropValue lpPropArray, LPSPropProblemArray* lppProblems) override
    {
        if (lppProblems)
            *lppProblems = nullptr; // the device reports a failure as the result, never as a problem array
        if (cValues == 0 || !lpPropArray) return MAPI_E_INVALID_PARAMETER;
        return Guarded([&] {
            std::vector<Value> values;
            for (ULONG i = 0; i < cValues; ++i) {
                Value value;
                HRESULT hr = FromPropValue(lpPropArray[i], &value);
                if (FAILED(hr)) return hr;
                if (hr == S_OK) values.push_back(std::move(value));
            }
            return WriteValues(values);
        });
    }

    // What the device leaves out of IMAPIProp.
    STDMETHODIMP GetLastError(HRESULT, ULONG, LPMAPIERROR*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP SaveChanges(ULONG) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP GetPropList(ULONG, LPSPropTagArray*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP OpenProperty(ULONG, LPCIID, ULONG, ULONG, LPUNKNOWN*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP DeleteProps(LPSPropTagArray, LPSPropProblemArray*) override { return MAPI_E_NO_SUPPORT; }
    STDMETHODIMP CopyTo(ULONG, LPCIID, LPSPropTagArray, ULONG_PTR, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG,
                        LPSPropProblemArray*) override
    {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP CopyProps(LPSPropTagArray, ULONG_PTR, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG,
                           LPSPropProblemArray*) override
    {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP GetNamesFromIDs(LPSPropTagArray*, LPGUID, ULONG, ULONG*, LPMAPINAMEID**) override
    {
        return MAPI_E_NO_SUPPORT;
    }
    STDMETHODIMP GetIDsFromNames(ULONG, LPMAPINAMEID*, ULONG, LPSPropTagArray*) override
    {
        return MAPI_E_NO_SUPPORT;
    }

  protected:
    // Every current value of the object, stored and computed.
    virtual HRESULT ReadValues(std::vector<Value>* values) = 0;
    // Stores checked values, all or none.
    virtual HRESULT WriteValues(const std::vector<Value>& values) = 0;
};

} // namespace device::mapi
