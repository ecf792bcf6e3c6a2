#pragma once

#include <windows.h>

#include <utility>

// Owners of the Win32 resources the program takes: each gives back one resource when it goes out of scope,
// so that no early return or exception forgets it. They neither create the resource nor report a failure
// to give it back (except ScopedHandle::close, for a file whose last write a failed close can lose).
namespace velmora::windows_platform {

// Owns one handle and gives it back with Traits::Release; null and Traits::Invalid() stand for no handle.
// It does nothing else with the handle.
template <typename Traits>
class ScopedResource {
public:
    using Handle = typename Traits::Handle;

    ScopedResource() = default;
    explicit ScopedResource(Handle handle) : handle_(handle) {}
    ScopedResource(ScopedResource&& other) noexcept : handle_(other.release()) {}
    ScopedResource& operator=(ScopedResource&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    ScopedResource(const ScopedResource&) = delete;
    ScopedResource& operator=(const ScopedResource&) = delete;
    ~ScopedResource() { reset(); }

    bool valid() const { return handle_ != Traits::Invalid() && handle_ != Handle(); }
    Handle get() const { return handle_; }
    // Gives back the handle held (if any) and holds the one given instead.
    void reset(Handle handle = Traits::Invalid())
    {
        if (valid())
            Traits::Release(handle_);
        handle_ = handle;
    }
    // Lets go of the handle without giving it back.
    Handle release() { return std::exchange(handle_, Traits::Invalid()); }

private:
    Handle handle_ = Traits::Invalid();
};

struct KernelHandleTraits {
    using Handle = HANDLE;
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Release(HANDLE handle) { ::CloseHandle(handle); }
};
struct FindHandleTraits {
    using Handle = HANDLE;
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Release(HANDLE search) { ::FindClose(search); }
};
template <typename GdiObject>
struct GdiObjectTraits {
    using Handle = GdiObject;
    static GdiObject Invalid() { return nullptr; }
    static void Release(GdiObject object) { ::DeleteObject(object); }
};
struct LocalMemoryTraits {
    using Handle = HLOCAL;
    static HLOCAL Invalid() { return nullptr; }
    static void Release(HLOCAL memory) { ::LocalFree(memory); }
};
struct IconTraits {
    using Handle = HICON;
    static HICON Invalid() { return nullptr; }
    static void Release(HICON icon) { ::DestroyIcon(icon); }
};

// A kernel object (file, process, thread), closed with CloseHandle. CreateFile's INVALID_HANDLE_VALUE and
// OpenProcess's null are both "no handle".
class ScopedHandle : public ScopedResource<KernelHandleTraits> {
public:
    using ScopedResource::ScopedResource;
    // Closes now and reports the failure: a failed close can mean data that never reached the disk.
    bool close()
    {
        const bool held = valid();
        const HANDLE handle = release();
        return held && ::CloseHandle(handle) != FALSE;
    }
};

// A search of FindFirstFileA, ended with FindClose.
using ScopedFindHandle = ScopedResource<FindHandleTraits>;
// A pen, brush, font or bitmap the program made, deleted with DeleteObject (never while selected).
template <typename GdiObject>
using ScopedGdiObject = ScopedResource<GdiObjectTraits<GdiObject>>;
// An icon the program loaded (not a shared one), destroyed with DestroyIcon.
using ScopedIcon = ScopedResource<IconTraits>;
// Memory a system call allocated for the caller (as FormatMessageA's buffer), given back with LocalFree.
using ScopedLocalMemory = ScopedResource<LocalMemoryTraits>;

// Selects a GDI object into a device context for the scope and selects the previous one back at its end,
// so that the context never keeps an object that is about to be deleted. It does not own the object.
class ScopedSelection {
public:
    ScopedSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~ScopedSelection()
    {
        if (previous_ && previous_ != HGDI_ERROR)
            ::SelectObject(dc_, previous_);
    }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A window's (or the screen's) device context from GetDC, given back with ReleaseDC.
class ScopedWindowDc {
public:
    explicit ScopedWindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ~ScopedWindowDc()
    {
        if (dc_)
            ::ReleaseDC(window_, dc_);
    }
    ScopedWindowDc(const ScopedWindowDc&) = delete;
    ScopedWindowDc& operator=(const ScopedWindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// The painting of one WM_PAINT: BeginPaint now, EndPaint at the end of the scope.
class ScopedPaint {
public:
    explicit ScopedPaint(HWND window) : window_(window), dc_(::BeginPaint(window, &paint_)) {}
    ~ScopedPaint() { ::EndPaint(window_, &paint_); }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;
    HDC dc() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_ {};
    HDC dc_;
};

// Holds one reference to a COM object and releases it at the end; it adds a reference only when told to.
template <typename Interface>
class ScopedComPtr {
public:
    ScopedComPtr() = default;
    // Takes over the reference the caller holds (as a creating call hands it out).
    explicit ScopedComPtr(Interface* object) : object_(object) {}
    ScopedComPtr(ScopedComPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    ScopedComPtr& operator=(ScopedComPtr&& other) noexcept
    {
        if (this != &other) {
            reset();
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }
    ScopedComPtr(const ScopedComPtr&) = delete;
    ScopedComPtr& operator=(const ScopedComPtr&) = delete;
    ~ScopedComPtr() { reset(); }

    // A reference of its own to an object someone else holds.
    static ScopedComPtr AddedReference(Interface* object)
    {
        if (object)
            object->AddRef();
        return ScopedComPtr(object);
    }

    Interface* get() const { return object_; }
    Interface* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // Releases the object held, and gives the address for a creating call to store its new reference into.
    Interface** receive()
    {
        reset();
        return &object_;
    }
    void reset()
    {
        if (object_)
            std::exchange(object_, nullptr)->Release();
    }

private:
    Interface* object_ = nullptr;
};

}  // namespace velmora::windows_platform
