#include <objbase.h>
#include <oleauto.h>

#include "device/InprocServer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>

namespace {

const GUID kSample = {0x01234567, 0x89AB, 0xCDEF, {0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x54, 0x32, 0x10}};
const CLSID kTestClass = {0x5A1C0DE5, 0x0001, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x01}};

// A minimal in-process object that counts the live instances.
std::atomic<int> g_liveObjects{0};

class TestObject : public IUnknown {
public:
    TestObject() { ++g_liveObjects; }
    virtual ~TestObject() { --g_liveObjects; }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        *ppv = riid == IID_IUnknown ? static_cast<IUnknown*>(this) : nullptr;
        if (!*ppv) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
    STDMETHODIMP_(ULONG) Release() override
    {
        ULONG refs = --m_refs;
        if (refs == 0) delete this;
        return refs;
    }

private:
    ULONG m_refs = 1;
};

HRESULT CreateTestObject(REFIID riid, void** ppv)
{
    auto* object = new TestObject;
    HRESULT hr = object->QueryInterface(riid, ppv);
    object->Release();
    return hr;
}

} // namespace

TEST(Guids, RegistryFormIsBracedUppercaseAndNeeds39Characters)
{
    WCHAR text[40];
    EXPECT_EQ(StringFromGUID2(kSample, text, 39), 39);
    EXPECT_EQ(std::u16string(text), u"{01234567-89AB-CDEF-FEDC-BA9876543210}");
    EXPECT_EQ(StringFromGUID2(kSample, text, 38), 0); // no room for the terminator
}

TEST(Guids, TextRoundTripsAndMalformedTextIsRejected)
{
    CLSID parsed{};
    EXPECT_EQ(CLSIDFromString(u"{01234567-89ab-cdef-fedc-ba9876543210}", &parsed), S_OK);
    EXPECT_TRUE(parsed == kSample);

    for (const WCHAR* bad :
         {u"01234567-89AB-CDEF-FEDC-BA9876543210", u"{01234567-89AB-CDEF-FEDC-BA987654321}",
          u"{01234567-89AB-CDEF-FEDC-BA9876543210}x", u"{0123456G-89AB-CDEF-FEDC-BA9876543210}",
          u"{01234567-89AB-CDEF+FEDC-BA9876543210}", u""}) {
        EXPECT_EQ(CLSIDFromString(bad, &parsed), CO_E_CLASSSTRING)
            << testing::PrintToString(std::u16string(bad));
    }
}

TEST(Guids, NewGuidsAreRandomVersion4)
{
    GUID a, b;
    ASSERT_EQ(CoCreateGuid(&a), S_OK);
    ASSERT_EQ(CoCreateGuid(&b), S_OK);
    EXPECT_FALSE(a == b);
    for (const GUID& g : {a, b}) {
        EXPECT_EQ(g.Data3 >> 12, 4);
        EXPECT_EQ(g.Data4[0] & 0xC0, 0x80);
    }
    WCHAR text[39];
    CLSID back;
    ASSERT_EQ(StringFromGUID2(a, text, 39), 39);
    ASSERT_EQ(CLSIDFromString(text, &back), S_OK);
    EXPECT_TRUE(back == a);
}

TEST(Bstrs, LengthsCountEveryCharacterIncludingEmbeddedNulls)
{
    BSTR withNull = SysAllocStringLen(u"a\0b", 3);
    ASSERT_NE(withNull, nullptr);
    EXPECT_EQ(SysStringLen(withNull), 3u);
    EXPECT_EQ(SysStringByteLen(withNull), 6u);
    EXPECT_EQ(withNull[2], u'b');
    EXPECT_EQ(withNull[3], 0); // terminated after the counted characters
    uint32_t prefix;
    std::memcpy(&prefix, reinterpret_cast<const char*>(withNull) - 4, 4);
    EXPECT_EQ(prefix, 6u); // the byte count sits just before the characters
    SysFreeString(withNull);

    BSTR hello = SysAllocString(u"hello");
    EXPECT_EQ(SysStringLen(hello), 5u);
    EXPECT_EQ(std::u16string(hello), u"hello");
    SysFreeString(hello);

    BSTR blank = SysAllocStringLen(nullptr, 4);
    ASSERT_NE(blank, nullptr);
    EXPECT_EQ(SysStringLen(blank), 4u);
    EXPECT_EQ(std::u16string(blank, 5), std::u16string(5, u'\0'));
    SysFreeString(blank);

    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_EQ(SysStringByteLen(nullptr), 0u);
    SysFreeString(nullptr);
}

TEST(Com, InitializationIsCountedPerThreadAndKeepsItsModel)
{
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), RPC_E_CHANGED_MODE);

    HRESULT otherThread = E_FAIL;
    std::thread([&] {
        otherThread = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        CoUninitialize();
    }).join();
    EXPECT_EQ(otherThread, S_OK);

    CoUninitialize();
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED),
              RPC_E_CHANGED_MODE); // still initialised once
    CoUninitialize();
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK); // fully released: a new model
    CoUninitialize();

    int reserved = 0;
    EXPECT_EQ(CoInitializeEx(&reserved, COINIT_MULTITHREADED), E_INVALIDARG);
}

TEST(Com, CreateInstanceServesRegisteredClassesOnly)
{
    device::RegisterInprocClass(kTestClass, CreateTestObject);
    IUnknown* object = nullptr;
    ASSERT_EQ(CoCreateInstance(kTestClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, (void**)&object),
              S_OK);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(g_liveObjects, 1);
    EXPECT_EQ(object->Release(), 0u); // the caller holds the only reference
    EXPECT_EQ(g_liveObjects, 0);

    void* out = &out;
    EXPECT_EQ(CoCreateInstance(kTestClass, nullptr, CLSCTX_INPROC_SERVER, IID_IClassFactory, &out),
              E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(g_liveObjects, 0);

    TestObject outer;
    out = &out;
    EXPECT_EQ(CoCreateInstance(kTestClass, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown, &out),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(CoCreateInstance(kTestClass, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown, &out), E_NOTIMPL);
    EXPECT_EQ(CoCreateInstance(kTestClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, nullptr), E_POINTER);
    EXPECT_EQ(CoCreateInstance(kSample, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &out),
              REGDB_E_CLASSNOTREG);

    device::UnregisterInprocClass(kTestClass);
    out = &out;
    EXPECT_EQ(CoCreateInstance(kTestClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &out),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(out, nullptr);
}
