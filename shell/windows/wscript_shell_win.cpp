#include "shell/windows/wscript_shell_win.h"

#include <windows.h>
#include <oleauto.h>

#include <optional>
#include <vector>

#include "shell/runtime_error.h"
#include "shell/windows/error_mapping_win.h"
#include "shell/windows/on_demand_calls_win.h"

namespace velmora::windows_platform {

namespace {

std::wstring Wide(const std::string& text)
{
    if (text.empty())
        return {};
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string Narrow(const wchar_t* text, std::size_t length)
{
    if (length == 0)
        return {};
    const int size = ::WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), narrow.data(), size, nullptr, nullptr);
    return narrow;
}

// A VARIANT made from a text or a number and cleared when it goes out of scope; nothing more.
struct Variant : VARIANT {
    Variant() { oleaut32::VariantInit(this); }
    explicit Variant(const std::string& text) : Variant()
    {
        vt = VT_BSTR;
        const std::wstring wide = Wide(text);
        bstrVal = oleaut32::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    }
    explicit Variant(std::int16_t number) : Variant()
    {
        vt = VT_I2;
        iVal = number;
    }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { oleaut32::VariantClear(this); }
};

// The run-time error for a failed automation call: a Win32 failure maps through the error table, any
// other by its own description.
RuntimeError ErrorFromAutomation(HRESULT result, const EXCEPINFO* exception, const std::string& what)
{
    if (result == DISP_E_EXCEPTION && exception && FAILED(exception->scode))
        result = exception->scode;
    if (HRESULT_FACILITY(result) == FACILITY_WIN32)
        return ErrorFromWin32(HRESULT_CODE(result), what);
    std::string detail = exception && exception->bstrDescription
                             ? Narrow(exception->bstrDescription, oleaut32::SysStringLen(exception->bstrDescription))
                             : SystemErrorText(static_cast<std::uint32_t>(result));
    char code[16];
    wsprintfA(code, "%08lX", static_cast<unsigned long>(result));
    detail += (detail.empty() ? "" : " ") + std::string("(automation error 0x") + code + ")";
    const RuntimeErrorNumber number = result == E_OUTOFMEMORY ? RuntimeErrorNumber::OutOfMemory
                                                              : RuntimeErrorNumber::InvalidProcedureCall;
    return RuntimeError(number, what, detail);
}

// Calls a member by name: a method or property get with arguments, or a property put of one value. Throws
// the run-time error for a failure, except for "not implemented", which it returns.
HRESULT InvokeStatus(IDispatch* object, const wchar_t* member, WORD kind, std::vector<VARIANT*> arguments,
                     VARIANT* result, const std::string& what)
{
    DISPID id = 0;
    LPOLESTR name = const_cast<LPOLESTR>(member);
    HRESULT status = object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(status))
        throw ErrorFromAutomation(status, nullptr, what);
    // Automation takes the arguments in reverse order.
    std::vector<VARIANT> reversed;
    for (auto argument = arguments.rbegin(); argument != arguments.rend(); ++argument)
        reversed.push_back(**argument);
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS parameters {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    if (kind == DISPATCH_PROPERTYPUT) {
        parameters.rgdispidNamedArgs = &putId;
        parameters.cNamedArgs = 1;
    }
    EXCEPINFO exception {};
    status = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &parameters, result, &exception, nullptr);
    if (status == DISP_E_EXCEPTION && exception.scode == E_NOTIMPL)
        status = E_NOTIMPL;
    std::optional<RuntimeError> error;
    if (FAILED(status) && status != E_NOTIMPL)
        error = ErrorFromAutomation(status, &exception, what);
    oleaut32::SysFreeString(exception.bstrSource);
    oleaut32::SysFreeString(exception.bstrDescription);
    oleaut32::SysFreeString(exception.bstrHelpFile);
    if (error)
        throw *error;
    return status;
}

void Invoke(IDispatch* object, const wchar_t* member, WORD kind, std::vector<VARIANT*> arguments, VARIANT* result,
            const std::string& what)
{
    const HRESULT status = InvokeStatus(object, member, kind, std::move(arguments), result, what);
    if (FAILED(status))
        throw ErrorFromAutomation(status, nullptr, what);
}

ScopedComPtr<IDispatch> TakeDispatch(Variant& value, const std::string& what)
{
    if (value.vt != VT_DISPATCH || !value.pdispVal)
        throw RuntimeError(RuntimeErrorNumber::InvalidProcedureCall, what, "the shell object gave no object");
    return ScopedComPtr<IDispatch>::AddedReference(value.pdispVal);
}

// A shortcut object of the shell: every setter assigns its property at once, save() calls Save. It keeps
// no values of its own.
class WScriptShortcut final : public ShellShortcut {
public:
    WScriptShortcut(ScopedComPtr<IDispatch> shortcut, std::string path)
        : shortcut_(std::move(shortcut)), path_(std::move(path))
    {
    }
    WScriptShortcut(const WScriptShortcut&) = delete;
    WScriptShortcut& operator=(const WScriptShortcut&) = delete;

    void setTargetPath(const std::string& path) override { put(L"TargetPath", Variant(path)); }
    void setWorkingDirectory(const std::string& path) override { put(L"WorkingDirectory", Variant(path)); }
    void setWindowStyle(std::int16_t style) override { put(L"WindowStyle", Variant(style)); }
    void setArguments(const std::string& arguments) override { put(L"Arguments", Variant(arguments)); }
    void setIconLocation(const std::string& location) override { put(L"IconLocation", Variant(location)); }
    void save() override
    {
        Variant ignored;
        Invoke(shortcut_.get(), L"Save", DISPATCH_METHOD, {}, &ignored, path_);
    }

private:
    void put(const wchar_t* property, Variant&& value)
    {
        Invoke(shortcut_.get(), property, DISPATCH_PROPERTYPUT, {&value}, nullptr, path_);
    }

    ScopedComPtr<IDispatch> shortcut_;
    std::string path_;
};

}  // namespace

std::unique_ptr<WScriptShell> WScriptShell::Create()
{
    CLSID shellClass {};
    if (FAILED(ole32::CLSIDFromProgID(L"WScript.Shell", &shellClass)))
        return nullptr;
    ScopedComPtr<IDispatch> shell;
    if (FAILED(ole32::CoCreateInstance(shellClass, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                       reinterpret_cast<void**>(shell.receive()))) ||
        !shell)
        return nullptr;
    return std::unique_ptr<WScriptShell>(new WScriptShell(std::move(shell)));
}

WScriptShell::WScriptShell(ScopedComPtr<IDispatch> shell) : shell_(std::move(shell))
{
}

WScriptShell::~WScriptShell() = default;

std::string WScriptShell::specialFolder(const std::string& name)
{
    Variant folders;
    Invoke(shell_.get(), L"SpecialFolders", DISPATCH_PROPERTYGET, {}, &folders, name);
    const ScopedComPtr<IDispatch> collection = TakeDispatch(folders, name);
    Variant folder;
    Variant key(name);
    const HRESULT status = InvokeStatus(collection.get(), L"Item", DISPATCH_METHOD | DISPATCH_PROPERTYGET, {&key},
                                        &folder, name);
    // Windows answers a name it does not know with empty text, Wine with "not implemented".
    if (status == E_NOTIMPL)
        return {};
    if (folder.vt != VT_BSTR || !folder.bstrVal)
        return {};
    return Narrow(folder.bstrVal, oleaut32::SysStringLen(folder.bstrVal));
}

std::unique_ptr<ShellShortcut> WScriptShell::createShortcut(const std::string& path)
{
    Variant shortcut;
    Variant linkPath(path);
    Invoke(shell_.get(), L"CreateShortcut", DISPATCH_METHOD, {&linkPath}, &shortcut, path);
    return std::make_unique<WScriptShortcut>(TakeDispatch(shortcut, path), path);
}

}  // namespace velmora::windows_platform
