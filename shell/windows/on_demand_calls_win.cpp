#include "shell/windows/on_demand_calls_win.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include "shell/windows/error_mapping_win.h"

namespace velmora::windows_platform {

namespace {

// One system library, loaded for the rest of the process; its procedures are looked up by name.
class SystemLibrary {
public:
    explicit SystemLibrary(const char* name)
        : name_(name), module_(::LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
    {
        if (!module_)
            throw LastError(name_);
    }

    template <typename Procedure>
    Procedure procedure(const char* procedureName) const
    {
        const FARPROC found = ::GetProcAddress(module_, procedureName);
        if (!found)
            throw LastError(name_);
        return reinterpret_cast<Procedure>(reinterpret_cast<void (*)()>(found));
    }

private:
    const char* name_;
    HMODULE module_;
};

// Each family is looked up whole on its first use, so that a later call (one in a destructor too) cannot
// fail to load. A failed load throws out of the static's initialisation and is tried again on the next call.
struct ShellCalls {
    decltype(&::FindExecutableA) findExecutable;
    decltype(&::SHGetFolderPathA) getFolderPath;

    static const ShellCalls& loaded()
    {
        static const ShellCalls calls = [] {
            const SystemLibrary library("shell32.dll");
            return ShellCalls {library.procedure<decltype(&::FindExecutableA)>("FindExecutableA"),
                               library.procedure<decltype(&::SHGetFolderPathA)>("SHGetFolderPathA")};
        }();
        return calls;
    }
};

struct ComCalls {
    decltype(&::CoInitializeEx) initialise;
    decltype(&::CoUninitialize) uninitialise;
    decltype(&::CLSIDFromProgID) classFromProgramId;
    decltype(&::CoCreateInstance) createInstance;

    static const ComCalls& loaded()
    {
        static const ComCalls calls = [] {
            const SystemLibrary library("ole32.dll");
            return ComCalls {library.procedure<decltype(&::CoInitializeEx)>("CoInitializeEx"),
                             library.procedure<decltype(&::CoUninitialize)>("CoUninitialize"),
                             library.procedure<decltype(&::CLSIDFromProgID)>("CLSIDFromProgID"),
                             library.procedure<decltype(&::CoCreateInstance)>("CoCreateInstance")};
        }();
        return calls;
    }
};

struct AutomationCalls {
    decltype(&::SysAllocStringLen) allocateString;
    decltype(&::SysFreeString) freeString;
    decltype(&::SysStringLen) stringLength;
    decltype(&::VariantInit) initialiseVariant;
    decltype(&::VariantClear) clearVariant;

    static const AutomationCalls& loaded()
    {
        static const AutomationCalls calls = [] {
            const SystemLibrary library("oleaut32.dll");
            return AutomationCalls {library.procedure<decltype(&::SysAllocStringLen)>("SysAllocStringLen"),
                                    library.procedure<decltype(&::SysFreeString)>("SysFreeString"),
                                    library.procedure<decltype(&::SysStringLen)>("SysStringLen"),
                                    library.procedure<decltype(&::VariantInit)>("VariantInit"),
                                    library.procedure<decltype(&::VariantClear)>("VariantClear")};
        }();
        return calls;
    }
};

struct NameCacheCalls {
    using FlushProcedure = BOOL(WINAPI*)();
    FlushProcedure flushResolverCache;

    static const NameCacheCalls& loaded()
    {
        static const NameCacheCalls calls = [] {
            const SystemLibrary library("dnsapi.dll");
            return NameCacheCalls {library.procedure<FlushProcedure>("DnsFlushResolverCache")};
        }();
        return calls;
    }
};

}  // namespace

namespace shell32 {

HINSTANCE FindExecutableA(LPCSTR file, LPCSTR directory, LPSTR result)
{
    return ShellCalls::loaded().findExecutable(file, directory, result);
}

HRESULT SHGetFolderPathA(HWND owner, int folder, HANDLE token, DWORD flags, LPSTR path)
{
    return ShellCalls::loaded().getFolderPath(owner, folder, token, flags, path);
}

}  // namespace shell32

namespace ole32 {

HRESULT CoInitializeEx(LPVOID reserved, DWORD model)
{
    return ComCalls::loaded().initialise(reserved, model);
}

void CoUninitialize()
{
    ComCalls::loaded().uninitialise();
}

HRESULT CLSIDFromProgID(LPCOLESTR programId, LPCLSID classId)
{
    return ComCalls::loaded().classFromProgramId(programId, classId);
}

HRESULT CoCreateInstance(REFCLSID classId, LPUNKNOWN outer, DWORD context, REFIID interfaceId, LPVOID* object)
{
    return ComCalls::loaded().createInstance(classId, outer, context, interfaceId, object);
}

}  // namespace ole32

namespace oleaut32 {

BSTR SysAllocStringLen(const OLECHAR* text, UINT length)
{
    return AutomationCalls::loaded().allocateString(text, length);
}

void SysFreeString(BSTR text)
{
    AutomationCalls::loaded().freeString(text);
}

UINT SysStringLen(BSTR text)
{
    return AutomationCalls::loaded().stringLength(text);
}

void VariantInit(VARIANTARG* value)
{
    AutomationCalls::loaded().initialiseVariant(value);
}

HRESULT VariantClear(VARIANTARG* value)
{
    return AutomationCalls::loaded().clearVariant(value);
}

}  // namespace oleaut32

namespace dnsapi {

BOOL DnsFlushResolverCache()
{
    return NameCacheCalls::loaded().flushResolverCache();
}

}  // namespace dnsapi

}  // namespace velmora::windows_platform
