#include "ContactItem.h"

namespace device::contacts {
namespace {

HRESULT CopyOut(const std::u16string& text, BSTR* out)
{
    if (!out) return E_INVALIDARG;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

} // namespace

STDMETHODIMP ContactItem::get_FileAs(BSTR* ppwsz) { return CopyOut(m_contact.name, ppwsz); }

// A contact without such a number answers an empty string, not a null one.
STDMETHODIMP ContactItem::get_MobileTelephoneNumber(BSTR* ppwsz) { return CopyOut(m_contact.mobile, ppwsz); }
STDMETHODIMP ContactItem::get_BusinessTelephoneNumber(BSTR* ppwsz) { return CopyOut(m_contact.work, ppwsz); }
STDMETHODIMP ContactItem::get_HomeTelephoneNumber(BSTR* ppwsz) { return CopyOut(m_contact.home, ppwsz); }

STDMETHODIMP ContactItem::get_Oid(long* poid)
{
    if (!poid) return E_INVALIDARG;
    *poid = static_cast<long>(m_contact.oid);
    return S_OK;
}

} // namespace device::contacts
