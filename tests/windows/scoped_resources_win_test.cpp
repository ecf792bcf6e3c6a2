// The owners of Win32 resources: each gives its resource back exactly once, at the end of its scope or of
// whichever owner it was moved to, and never one it was not given.

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <utility>

#include "shell/windows/scoped_resources_win.h"

namespace velmora::windows_platform {
namespace {

bool IsOpenHandle(HANDLE handle)
{
    DWORD flags = 0;
    return ::GetHandleInformation(handle, &flags) != FALSE;
}

HANDLE NewEvent()
{
    return ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
}

TEST(ScopedHandle, ClosesTheHandleOnceWhereverItWasMovedTo)
{
    struct Case {
        const char* what;
        void (*use)(HANDLE event);
    };
    const Case cases[] = {
        {"end of scope", [](HANDLE event) { const ScopedHandle owner(event); }},
        {"moved into another owner",
         [](HANDLE event) {
             std::optional<ScopedHandle> first(std::in_place, event);
             const ScopedHandle second(std::move(*first));
             EXPECT_FALSE(first->valid());
             first.reset();
             EXPECT_TRUE(IsOpenHandle(event)) << "the moved-from owner closed it";
         }},
        {"move-assigned over another handle",
         [](HANDLE event) {
             const HANDLE other = NewEvent();
             std::optional<ScopedHandle> first(std::in_place, event);
             ScopedHandle second(other);
             second = std::move(*first);
             first.reset();
             EXPECT_FALSE(IsOpenHandle(other)) << "the handle it held before";
             EXPECT_TRUE(IsOpenHandle(event)) << "the moved-from owner closed it";
         }},
        {"reset",
         [](HANDLE event) {
             ScopedHandle owner(event);
             owner.reset();
             EXPECT_FALSE(owner.valid());
             EXPECT_FALSE(IsOpenHandle(event));
         }},
    };
    for (const Case& c : cases) {
        const HANDLE event = NewEvent();
        ASSERT_TRUE(event) << c.what;
        c.use(event);
        EXPECT_FALSE(IsOpenHandle(event)) << c.what;
    }
}

TEST(ScopedHandle, TakesNeitherNullNorTheInvalidHandleAndCloseReportsTheOutcome)
{
    for (const HANDLE none : {HANDLE(nullptr), INVALID_HANDLE_VALUE}) {
        ScopedHandle owner(none);
        EXPECT_FALSE(owner.valid());
        EXPECT_FALSE(owner.close()) << "nothing to close is no successful close";
    }
    const HANDLE event = NewEvent();
    ScopedHandle owner(event);
    EXPECT_TRUE(owner.close());
    EXPECT_FALSE(owner.valid());
    EXPECT_FALSE(IsOpenHandle(event));
}

TEST(ScopedGdiObject, DeletesTheObjectAtTheEndOfItsScope)
{
    HFONT font = nullptr;
    {
        const ScopedGdiObject<HFONT> owner(::CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                                         DEFAULT_PITCH | FF_DONTCARE, "Arial"));
        font = owner.get();
        ASSERT_EQ(::GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
    }
    EXPECT_EQ(::GetObjectType(font), 0u);
}

TEST(ScopedSelection, SelectsTheObjectForTheScopeAndThePreviousOneBack)
{
    const HDC dc = ::CreateCompatibleDC(nullptr);
    ASSERT_TRUE(dc);
    const ScopedGdiObject<HBRUSH> brush(::CreateSolidBrush(RGB(1, 2, 3)));
    const HGDIOBJ before = ::GetCurrentObject(dc, OBJ_BRUSH);
    {
        const ScopedSelection selected(dc, brush.get());
        EXPECT_EQ(::GetCurrentObject(dc, OBJ_BRUSH), brush.get());
    }
    EXPECT_EQ(::GetCurrentObject(dc, OBJ_BRUSH), before);
    ::DeleteDC(dc);
}

// Stands for a COM object: it only counts its references (the owner calls nothing else).
struct CountedObject {
    ULONG references = 1;  // the creator's
    ULONG AddRef() { return ++references; }
    ULONG Release() { return --references; }
};
using CountedPtr = ScopedComPtr<CountedObject>;

TEST(ScopedComPtr, ReleasesExactlyTheReferencesItHolds)
{
    struct Case {
        const char* what;
        void (*use)(CountedObject& object);
        ULONG referencesAfter;
    };
    const Case cases[] = {
        {"takes over the creator's reference", [](CountedObject& object) { const CountedPtr p(&object); }, 0},
        {"a reference of its own",
         [](CountedObject& object) {
             const auto p = CountedPtr::AddedReference(&object);
             EXPECT_EQ(object.references, 2u);
         },
         1},
        {"moved into another owner",
         [](CountedObject& object) {
             CountedPtr first(&object);
             CountedPtr second(std::move(first));
             EXPECT_FALSE(first);
             EXPECT_EQ(object.references, 1u);
         },
         0},
        {"receive releases what it held",
         [](CountedObject& object) {
             CountedPtr p(&object);
             CountedObject** slot = p.receive();
             EXPECT_EQ(object.references, 0u);
             EXPECT_EQ(*slot, nullptr);
         },
         0},
    };
    for (const Case& c : cases) {
        CountedObject object;
        c.use(object);
        EXPECT_EQ(object.references, c.referencesAfter) << c.what;
    }
}

}  // namespace
}  // namespace velmora::windows_platform
