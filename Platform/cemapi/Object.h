// What every MAPI object of this library shares: reference counting and QueryInterface over the
// interfaces it implements.
#pragma once

#include <mapidefs.h>

#include <atomic>

namespace device::mapi
{

template <class Interface> class Object : public Interface
{
  public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppvObject) override
    {
        if (!ppvObject) return E_INVALIDARG;
        if (riid != IID_IUnknown && !Implements(riid)) {
            *ppvObject = nullptr;
            return E_NOINTERFACE;
        }
        *ppvObject = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }

    STDMETHODIMP_(ULONG) AddRef() override { return ++m_references; }

    STDMETHODIMP_(ULONG) Release() override
    {
        ULONG left = --m_references;
        if (left == 0) delete this;
        return left;
    }

    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

  protected:
    Object() = default;
    virtual ~Object() = default;

    // Whether riid names Interface or one of its bases (IUnknown is answered above).
    virtual bool Implements(REFIID riid) const = 0;

  private:
    std::atomic<ULONG> m_references{1};
};

} // namespace device::mapi
