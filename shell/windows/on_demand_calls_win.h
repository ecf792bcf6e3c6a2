#pragma once

#include <windows.h>
#include <oleauto.h>

// The calls of shell32, ole32, oleaut32 and dnsapi that the platform makes, under their own names in a
// namespace per library. Each library is loaded from the system folder, with all of its calls here, on the
// first call of one of them and not with the program: a start that shows the window maps none of them. A library or call that cannot be loaded is the run-time error of its GetLastError; once loaded,
// every call only forwards to the system's and adds nothing.
namespace velmora::windows_platform {

namespace shell32 {
HINSTANCE FindExecutableA(LPCSTR file, LPCSTR directory, LPSTR result);
HRESULT SHGetFolderPathA(HWND owner, int folder, HANDLE token, DWORD flags, LPSTR path);
}  // namespace shell32

namespace ole32 {
HRESULT CoInitializeEx(LPVOID reserved, DWORD model);
void CoUninitialize();
HRESULT CLSIDFromProgID(LPCOLESTR programId, LPCLSID classId);
HRESULT CoCreateInstance(REFCLSID classId, LPUNKNOWN outer, DWORD context, REFIID interfaceId, LPVOID* object);
}  // namespace ole32

// This thread in a single-threaded COM apartment for the scope: entered when made, left at the end when
// entering succeeded (S_FALSE, already in one, too: every success is balanced). It creates no object.
class ScopedComApartment {
public:
    ScopedComApartment() : entered_(SUCCEEDED(ole32::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ScopedComApartment()
    {
        if (entered_)
            ole32::CoUninitialize();
    }
    ScopedComApartment(const ScopedComApartment&) = delete;
    ScopedComApartment& operator=(const ScopedComApartment&) = delete;

private:
    bool entered_;
};

namespace oleaut32 {
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);
void VariantInit(VARIANTARG* value);
HRESULT VariantClear(VARIANTARG* value);
}  // namespace oleaut32

namespace dnsapi {
// Clears the DNS Client service's cache of answers; exported by dnsapi.dll, though no header declares it.
BOOL DnsFlushResolverCache();
}  // namespace dnsapi

}  // namespace velmora::windows_platform
