// The real velmora.exe with its window, in the Wine prefix on its real hosts directory: the window is read
// and worked from outside through the messages that mouse and keyboard send, and every box it shows is read
// from its window and answered.

#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <vector>

#include "main_window/windows/form1_layout_win.h"
#include "tests/windows/support/box_answerer.h"
#include "tests/windows/support/form1_driver.h"
#include "tests/windows/support/win_files.h"

namespace velmora::windows_testing {
namespace {

using windows_testing::HostsFiles;
using windows_testing::ReplaceHostsFiles;

using namespace windows_view;

const std::string kHostsDir = "C:\\Windows\\System32\\drivers\\etc\\";
const std::string kProgramFolder = "C:\\Program Files\\Velmora window";
const std::string kProgram = kProgramFolder + "\\velmora.exe";
const std::string kRecorder = "C:\\velmora-recorder\\browser.exe";  // no blank: the launcher does not quote it

std::string DesktopFolder()
{
    char folder[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, folder);
    return folder;
}

// The processes now running that `parent` started, by name.
std::multiset<std::string> ChildProcessesOf(unsigned long parent)
{
    std::multiset<std::string> names;
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry {};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot, &entry); more; more = ::Process32Next(snapshot, &entry))
        if (entry.th32ParentProcessID == parent)
            names.insert(entry.szExeFile);
    ::CloseHandle(snapshot);
    return names;
}

// The libraries `process` has mapped, by name in lower case.
std::set<std::string> LibrariesOf(unsigned long process)
{
    std::set<std::string> names;
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process);
    if (snapshot == INVALID_HANDLE_VALUE)
        return names;
    MODULEENTRY32 entry {};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Module32First(snapshot, &entry); more; more = ::Module32Next(snapshot, &entry)) {
        ::CharLowerA(entry.szModule);
        names.insert(entry.szModule);
    }
    ::CloseHandle(snapshot);
    return names;
}

class Form1Window : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::CreateDirectoryA(kProgramFolder.c_str(), nullptr);
        ASSERT_TRUE(::CopyFileA(WindowsPathOfBuiltFile(VELMORA_EXECUTABLE).c_str(), kProgram.c_str(), FALSE));
        saved_ = HostsFiles();
        ReplaceHostsFiles({{"hosts", "127.0.0.1 current\r\n"},
                           {"hosts.Default", "127.0.0.1 default\r\n"},
                           {"hosts.work", "10.0.0.1 work\r\n"}});
    }
    void TearDown() override
    {
        ReplaceHostsFiles(saved_);
        RemoveTree(kProgramFolder);
    }

private:
    std::map<std::string, std::string> saved_;
};

// The prefix opens web pages with a recording program for the time of a test.
class RecordingBrowser {
public:
    RecordingBrowser()
    {
        ::CreateDirectoryA("C:\\velmora-recorder", nullptr);
        ::CopyFileA(WindowsPathOfBuiltFile(VELMORA_COMMAND_RECORDER).c_str(), kRecorder.c_str(), FALSE);
        HKEY key = nullptr;
        ::RegCreateKeyExA(HKEY_CLASSES_ROOT, "htmlfile\\shell\\open\\command", 0, nullptr, 0, KEY_ALL_ACCESS,
                          nullptr, &key, nullptr);
        char previous[1024] = {};
        DWORD size = sizeof previous;
        if (::RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(previous), &size) == ERROR_SUCCESS)
            previous_ = previous;
        const std::string command = "\"" + kRecorder + "\" \"%1\"";
        ::RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                         static_cast<DWORD>(command.size() + 1));
        ::RegCloseKey(key);
    }
    ~RecordingBrowser()
    {
        HKEY key = nullptr;
        if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, "htmlfile\\shell\\open\\command", 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
            ::RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(previous_.c_str()),
                             static_cast<DWORD>(previous_.size() + 1));
            ::RegCloseKey(key);
        }
        RemoveTree("C:\\velmora-recorder");
    }
    std::string record() const
    {
        const std::string file = kRecorder + ".txt";
        return AttributesOf(file) == INVALID_FILE_ATTRIBUTES ? std::string() : ReadBytes(file);
    }

private:
    std::string previous_;
};

// The layout's rectangle of a control at the given dots per inch, in its container.
RECT ScaledBox(const Control& control, int dotsPerInch)
{
    const auto scaled = [&](int pixels) { return ::MulDiv(pixels, dotsPerInch, 96); };
    return {scaled(control.box.left), scaled(control.box.top), scaled(control.box.right), scaled(control.box.bottom)};
}

// Every control of the layout table stands where the table puts it, in its container, at these dots per inch.
void ExpectTheLayoutsPlaces(const Form1Driver& velmora, int dotsPerInch)
{
    for (const Control& layout : kControls) {
        const HWND control = velmora.control(layout.id);
        ASSERT_TRUE(control) << layout.name;
        const HWND container = layout.inFrame1 ? velmora.control(kFrame1) : velmora.window();
        EXPECT_EQ(::GetParent(control), container) << layout.name;
        RECT box {};
        ::GetWindowRect(control, &box);
        ::MapWindowPoints(nullptr, container, reinterpret_cast<POINT*>(&box), 2);
        const RECT expected = ScaledBox(layout, dotsPerInch);
        EXPECT_TRUE(::EqualRect(&box, &expected))
            << layout.name << ": " << box.left << "," << box.top << "," << box.right << "," << box.bottom;
    }
}

TEST_F(Form1Window, IsAFixedWindowOfTheLayoutsSizeCentredOnTheScreen)
{
    Form1Driver velmora(kProgram);
    ASSERT_TRUE(velmora.window());
    EXPECT_EQ(WindowTextOf(velmora.window()), kInitialTitle);
    RECT client {};
    ::GetClientRect(velmora.window(), &client);
    EXPECT_EQ(client.right, kClientSize.width);
    EXPECT_EQ(client.bottom, kClientSize.height);
    const auto style = static_cast<DWORD>(::GetWindowLongA(velmora.window(), GWL_STYLE));
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0u);
    EXPECT_NE(style & WS_CAPTION, 0u);
    RECT outer {};
    RECT area {};
    ::GetWindowRect(velmora.window(), &outer);
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_NEAR((outer.left + outer.right) / 2, (area.left + area.right) / 2, 1);
    EXPECT_NEAR((outer.top + outer.bottom) / 2, (area.top + area.bottom) / 2, 1);
}

TEST_F(Form1Window, EveryControlStandsInItsContainerWithItsCaption)
{
    // The window classes that realise the layout's kinds of control.
    const std::map<ControlKind, const char*> classNames {
        {ControlKind::List, "ListBox"},   {ControlKind::Button, "Button"},         {ControlKind::Label, "Static"},
        {ControlKind::Picture, "Static"}, {ControlKind::Frame, kFrameClassName},
    };
    Form1Driver velmora(kProgram);
    ASSERT_TRUE(velmora.window());
    ExpectTheLayoutsPlaces(velmora, 96);
    for (const Control& layout : kControls) {
        char className[64] = {};
        ::GetClassNameA(velmora.control(layout.id), className, sizeof className);
        EXPECT_EQ(::lstrcmpiA(className, classNames.at(layout.kind)), 0) << layout.name << ": " << className;
        // Start-up selected the first entry, which the frame names; the link shows the home page's host.
        std::string caption = layout.caption ? layout.caption : "";
        if (layout.id == kFrame1)
            caption = "Default :";
        else if (layout.id == kLabel1)
            caption = "velmora.example.org";
        EXPECT_EQ(velmora.textOf(layout.id), caption) << layout.name;
    }
    // Start-up selected the first entry: the frame's buttons are enabled, the list holds the variants in order.
    for (int id : {kCommand3, kCommand2, kCommand6, kCommand5})
        EXPECT_TRUE(::IsWindowEnabled(velmora.control(id))) << id;
    ASSERT_EQ(velmora.listCount(), 2);
    EXPECT_EQ(velmora.listEntry(0), "hosts.Default");
    // The list and the six buttons have tooltips, in one tooltip window of the program.
    EXPECT_TRUE(WaitUntil([&] {
        const HWND tooltips = velmora.tooltipWindow();
        return tooltips && ::SendMessageA(tooltips, TTM_GETTOOLCOUNT, 0, 0) == 7;
    }, 3000));
    EXPECT_EQ(velmora.listEntry(1), "hosts.work");
    EXPECT_EQ(velmora.listIndex(), 0);
}

// The screen's dots per inch as Wine reads them when a program starts, set for the time of a test.
class ScreenDotsPerInch {
public:
    explicit ScreenDotsPerInch(DWORD dotsPerInch) { set(dotsPerInch); }
    ~ScreenDotsPerInch() { set(96); }

private:
    static void set(DWORD dotsPerInch)
    {
        HKEY key = nullptr;
        if (::RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                              nullptr) != ERROR_SUCCESS)
            return;
        ::RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dotsPerInch), sizeof dotsPerInch);
        ::RegCloseKey(key);
    }
};

TEST_F(Form1Window, TheLayoutIsScaledByTheScreensDotsPerInch)
{
    ScreenDotsPerInch largerText(144);
    Form1Driver velmora(kProgram);
    ASSERT_TRUE(velmora.window());
    RECT client {};
    ::GetClientRect(velmora.window(), &client);
    EXPECT_EQ(client.right, ::MulDiv(kClientSize.width, 144, 96));
    EXPECT_EQ(client.bottom, ::MulDiv(kClientSize.height, 144, 96));
    ExpectTheLayoutsPlaces(velmora, 144);
}

// The colours on the screen inside a control's rectangle, as the display shows them.
class ScreenPixels {
public:
    explicit ScreenPixels(HWND control) : screen_(::GetDC(nullptr)) { ::GetWindowRect(control, &box_); }
    ~ScreenPixels() { ::ReleaseDC(nullptr, screen_); }
    COLORREF at(int x, int y) const { return ::GetPixel(screen_, box_.left + x, box_.top + y); }
    // Whether any pixel comes within `tolerance` of `colour` in each channel (text is drawn smoothed).
    bool shows(COLORREF colour, int tolerance) const
    {
        for (int y = 0; y < box_.bottom - box_.top; ++y)
            for (int x = 0; x < box_.right - box_.left; ++x) {
                const COLORREF pixel = at(x, y);
                if (std::abs(GetRValue(pixel) - GetRValue(colour)) <= tolerance &&
                    std::abs(GetGValue(pixel) - GetGValue(colour)) <= tolerance &&
                    std::abs(GetBValue(pixel) - GetBValue(colour)) <= tolerance)
                    return true;
            }
        return false;
    }

private:
    HDC screen_;
    RECT box_ {};
};

// WM_DPICHANGED as the system sends it when the window reaches a monitor of another DPI. Its rectangle goes by
// pointer, which is not carried to another process: it is written into the program's own memory.
void SendDotsPerInchChange(const Form1Driver& velmora, int dotsPerInch, const RECT& suggested)
{
    const HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, velmora.processId());
    ASSERT_TRUE(process);
    void* remote = ::VirtualAllocEx(process, nullptr, sizeof suggested, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    ASSERT_TRUE(remote);
    ASSERT_TRUE(::WriteProcessMemory(process, remote, &suggested, sizeof suggested, nullptr));
    ::SendMessageA(velmora.window(), WM_DPICHANGED, MAKEWPARAM(dotsPerInch, dotsPerInch),
                   reinterpret_cast<LPARAM>(remote));
    ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    ::CloseHandle(process);
}

// The application manifest built into a program.
std::string ManifestOf(const std::string& program)
{
    const HMODULE module = ::LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const auto manifestType = MAKEINTRESOURCEA(24);  // RT_MANIFEST
    const HRSRC resource = module ? ::FindResourceA(module, MAKEINTRESOURCEA(1), manifestType) : nullptr;
    const HGLOBAL loaded = resource ? ::LoadResource(module, resource) : nullptr;
    std::string manifest;
    if (loaded)
        manifest.assign(static_cast<const char*>(::LockResource(loaded)), ::SizeofResource(module, resource));
    if (module)
        ::FreeLibrary(module);
    return manifest;
}

// The height of a role's font at the given dots per inch, as the list box measures its lines.
int FontHeight(FontRole role, int dotsPerInch)
{
    const Font& wanted = FontOf(role);
    const HFONT font = ::CreateFontA(-static_cast<int>(std::lround(wanted.points * dotsPerInch / 72.0)), 0, 0, 0,
                                     wanted.weight, FALSE, wanted.underline, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, wanted.face);
    const HDC screen = ::GetDC(nullptr);
    const HGDIOBJ previous = ::SelectObject(screen, font);
    TEXTMETRICA metrics {};
    ::GetTextMetricsA(screen, &metrics);
    ::SelectObject(screen, previous);
    ::ReleaseDC(nullptr, screen);
    ::DeleteObject(font);
    return metrics.tmHeight;
}

TEST_F(Form1Window, OnAMonitorOfAnotherDpiTheLayoutAndFontsFollowIt)
{
    Form1Driver velmora(kProgram);
    ASSERT_TRUE(velmora.window());
    // Windows sends the change only to a program that declares itself aware of each monitor's DPI; here the
    // test sends it, so the declaration is read from the built program.
    EXPECT_NE(ManifestOf(kProgram).find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
    for (const int dotsPerInch : {144, 192, 120, 96}) {
        SCOPED_TRACE(dotsPerInch);
        const auto scaled = [&](int pixels) { return ::MulDiv(pixels, dotsPerInch, 96); };
        const RECT suggested {4, 4, 4 + scaled(501), 4 + scaled(338)};
        SendDotsPerInchChange(velmora, dotsPerInch, suggested);
        RECT outer {};
        ::GetWindowRect(velmora.window(), &outer);
        EXPECT_TRUE(::EqualRect(&outer, &suggested)) << "the suggested rectangle is taken";
        ExpectTheLayoutsPlaces(velmora, dotsPerInch);
        // The fonts follow: the list's lines are as high as its font at the new DPI.
        EXPECT_EQ(::SendMessageA(velmora.control(kList1), LB_GETITEMHEIGHT, 0, 0),
                  FontHeight(FontRole::List, dotsPerInch));
    }
    // Laid out again, the window works as before: a double-click on the second line activates its variant.
    velmora.doubleClickListEntry(1);
    EXPECT_TRUE(WaitUntil([&] { return velmora.textOf(kActiveHostLabel) == "hosts.work - Activated!"; }, 5000))
        << velmora.textOf(kActiveHostLabel);
}

TEST_F(Form1Window, ControlsShowTheirColours)
{
    Form1Driver velmora(kProgram);
    ASSERT_TRUE(velmora.window());
    ::Sleep(300);  // painted
    // A point inside each button's edge and away from its caption shows the face colour; the frame, the heading
    // and the link show their text colours.
    for (const Control& layout : kControls) {
        if (layout.kind == ControlKind::Button) {
            EXPECT_EQ(ScreenPixels(velmora.control(layout.id)).at(5, 5), layout.face) << layout.name;
        } else if (layout.kind == ControlKind::Frame || layout.kind == ControlKind::Label) {
            EXPECT_TRUE(ScreenPixels(velmora.control(layout.id)).shows(layout.text, 8)) << layout.name;
        }
    }
    RecordingBrowser browser;
    velmora.click(kLabel1);
    ASSERT_TRUE(WaitUntil([&] { return !browser.record().empty(); }, 10000));
    EXPECT_TRUE(WaitUntil([&] { return ScreenPixels(velmora.control(kLabel1)).shows(RGB(128, 128, 255), 8); }, 3000))
        << "a visited link is light blue";
}

TEST_F(Form1Window, TabMovesTheFocusInTheLayoutsOrder)
{
    Form1Driver velmora(kProgram);
    ASSERT_TRUE(velmora.window());
    EXPECT_EQ(velmora.focused(), velmora.control(kList1));
    const int order[] = {kCommand4, kCommand1, kCommand6, kCommand5, kCommand3, kCommand2, kList1};
    for (int expected : order) {
        velmora.pressKey(VK_TAB);
        EXPECT_EQ(::GetDlgCtrlID(velmora.focused()), expected);
    }
}

TEST_F(Form1Window, EscapeEndsTheProgramFromAnyControl)
{
    struct Case {
        const char* where;
        int tabs;  // from the list
    };
    for (const Case& c : {Case {"the list", 0}, Case {"Show current hosts", 1}, Case {"Delete", 4}}) {
        Form1Driver velmora(kProgram);
        ASSERT_TRUE(velmora.window()) << c.where;
        for (int i = 0; i < c.tabs; ++i)
            velmora.pressKey(VK_TAB);
        velmora.pressKey(VK_DOWN);  // other keys keep their ordinary effect
        velmora.pressKey(VK_ESCAPE);
        EXPECT_EQ(velmora.waitForExit(5000), std::optional<unsigned long>(0)) << c.where;
    }
}

TEST_F(Form1Window, EnterClicksTheFocusedButtonAndNothingElse)
{
    struct Case {
        const char* where;
        int tabs;            // from the list
        const char* title;   // of the box the click shows; nullptr: no box comes
        int answer;
    };
    const Case cases[] = {
        {"Show current hosts", 1, "Warning - Changes may get overwritten!", IDOK},
        {"Delete", 4, "Delete Host-File: hosts.Default", IDNO},
        {"the list", 0, nullptr, 0},
    };
    for (const Case& c : cases) {
        Form1Driver velmora(kProgram);
        ASSERT_TRUE(velmora.window()) << c.where;
        for (int i = 0; i < c.tabs; ++i)
            velmora.pressKey(VK_TAB);
        velmora.pressKey(VK_RETURN);
        const ShownBox box = AnswerBox(velmora.processId(), c.answer, "", c.title ? 10000 : 1500);
        EXPECT_EQ(box.found, c.title != nullptr) << c.where << ": " << box.title;
        if (c.title) {
            EXPECT_EQ(box.title, c.title) << c.where;
        }
        velmora.settle();
        EXPECT_FALSE(velmora.waitForExit(0)) << c.where << ": Enter does not end the program";
        EXPECT_EQ(ReadBytes(kHostsDir + "hosts"), "127.0.0.1 current\r\n") << c.where;
        EXPECT_NE(AttributesOf(kHostsDir + "hosts.Default"), INVALID_FILE_ATTRIBUTES) << c.where;
    }
}

TEST_F(Form1Window, ADoubleClickActivatesTheVariant)
{
    Form1Driver velmora(kProgram);
    ASSERT_TRUE(velmora.window());
    EXPECT_EQ(LibrariesOf(velmora.processId()).count("dnsapi.dll"), 0u) << "mapped by the start";
    velmora.doubleClickListEntry(1);
    EXPECT_TRUE(WaitUntil([&] { return velmora.textOf(kActiveHostLabel) == "hosts.work - Activated!"; }, 5000))
        << velmora.textOf(kActiveHostLabel);
    // dnsapi.dll is loaded by nothing but the call that clears the DNS Client's cache after a switch.
    EXPECT_EQ(LibrariesOf(velmora.processId()).count("dnsapi.dll"), 1u) << "the cache was not cleared";
    EXPECT_EQ(ReadBytes(kHostsDir + "hosts"), "10.0.0.1 work\r\n");
    EXPECT_EQ(velmora.textOf(kFrame1), "work :");
    EXPECT_EQ(velmora.listIndex(), 1);
}

TEST_F(Form1Window, CreateNewMakesTheVariantAndOpensItInNotepad)
{
    Form1Driver velmora(kProgram);
    ASSERT_TRUE(velmora.window());
    velmora.click(kCommand1);
    const ShownBox box = AnswerBox(velmora.processId(), IDOK, "  lab ", 10000);
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.title, "Enter Name");
    EXPECT_EQ(box.text, "Enter Name for the new Hosts-File");
    EXPECT_EQ(box.field, "NewHostFile");
    const HWND notepad = WaitForWindowTitled("hosts.lab", velmora.processId(), 15000);
    ASSERT_TRUE(notepad) << "Wine's notepad did not open the new variant";
    char className[64] = {};
    ::GetClassNameA(notepad, className, sizeof className);
    EXPECT_STREQ(className, "Notepad");
    EXPECT_EQ(ReadBytes(kHostsDir + "hosts.lab"), "#   --    lab   --\r\n#\r\n127.0.0.1 current\r\n");
    EXPECT_TRUE(WaitUntil([&] { return velmora.listCount() == 3; }, 3000));
    EXPECT_EQ(velmora.listEntry(1), "hosts.lab");
    EXPECT_EQ(velmora.listIndex(), -1) << "the refilled list has no selection";
    EXPECT_EQ(velmora.textOf(kFrame1), "Default :") << "the frame keeps the last selection";
}

// Only files the program can name exactly and open are listed: not a name outside the code page, whose ANSI
// look-alike would name another file, not `hosts.ics`, not a path past MAX_PATH. Create New refuses such
// names with the "Invalid Name" box, and the window stays.
TEST_F(Form1Window, NamesThatAreNoVariantsAreNeitherListedNorCreated)
{
    const std::string tooLong(MAX_PATH - kHostsDir.size() - 6 + 1, 'z');
    ReplaceHostsFiles({{"hosts", "h\r\n"}, {"hosts.Default", "d\r\n"}, {"hosts.Omega", "real omega\r\n"},
                       {"hosts.\u03A9mega", "greek\r\n"}, {"hosts.ics", "ics\r\n"}, {"hosts." + tooLong, "long\r\n"}});
    const std::map<std::string, std::string> before = HostsFiles();
    Form1Driver velmora(kProgram);
    ASSERT_TRUE(velmora.window());
    ASSERT_EQ(velmora.listCount(), 2);
    EXPECT_EQ(velmora.listEntry(0), "hosts.Default");
    EXPECT_EQ(velmora.listEntry(1), "hosts.Omega");

    struct Case {
        std::string typed;
        std::string firstLine;
    };
    const Case cases[] = {
        {"\u03A9mega", "The name '?mega' cannot be used."},
        {"ics", "The name 'ics' cannot be used."},
        {" Ics ", "The name 'Ics' cannot be used."},
        {std::string(250, 'n'), "A name of 250 characters cannot be used."},
    };
    for (const Case& c : cases) {
        velmora.click(kCommand1);
        ASSERT_TRUE(AnswerBox(velmora.processId(), IDOK, c.typed, 10000).found);
        const ShownBox refusal = AnswerBox(velmora.processId(), IDOK, "", 10000);
        ASSERT_TRUE(refusal.found) << c.typed;
        EXPECT_EQ(refusal.title, "Invalid Name") << c.typed;
        EXPECT_EQ(refusal.text.substr(0, refusal.text.find('\r')), c.firstLine);
        velmora.settle();
        EXPECT_FALSE(velmora.waitForExit(200)) << c.typed << ": the window stays";
        EXPECT_EQ(HostsFiles(), before) << c.typed;
    }
}

TEST_F(Form1Window, DeleteAsksFirstAndDeletesOnlyOnYes)
{
    struct Case {
        int answer;
        bool fileStays;
        int listCountAfter;
    };
    for (const Case& c : {Case {IDNO, true, 2}, Case {IDYES, false, 1}}) {
        Form1Driver velmora(kProgram);
        ASSERT_TRUE(velmora.window());
        velmora.clickListEntry(1);
        velmora.click(kCommand5);
        // The box is modal to the window: while it waits for its answer, the window takes no clicks.
        ASSERT_TRUE(WaitForWindowTitled("Delete Host-File", 0, 10000));
        EXPECT_FALSE(::IsWindowEnabled(velmora.window())) << c.answer;
        const ShownBox box = AnswerBox(velmora.processId(), c.answer, "", 10000);
        ASSERT_TRUE(box.found);
        EXPECT_EQ(box.title, "Delete Host-File: hosts.work");
        EXPECT_EQ(box.text, "Delete File: " + kHostsDir + "hosts.work");
        EXPECT_TRUE(WaitUntil([&] { return velmora.listCount() == c.listCountAfter; }, 3000)) << c.answer;
        EXPECT_EQ(AttributesOf(kHostsDir + "hosts.work") != INVALID_FILE_ATTRIBUTES, c.fileStays) << c.answer;
    }
}

TEST_F(Form1Window, AddLineAppendsTheAnswerUnlessItIsTheDefaultLine)
{
    struct Case {
        const char* typed;  // empty: the default line left as it is
        std::string after;
    };
    const Case cases[] = {
        {"", "10.0.0.1 work\r\n"},
        {"10.9.9.9 added", "10.0.0.1 work\r\n10.9.9.9 added\r\n"},
    };
    for (const Case& c : cases) {
        ReplaceHostsFiles({{"hosts", "h\r\n"}, {"hosts.Default", "d\r\n"}, {"hosts.work", "10.0.0.1 work\r\n"}});
        Form1Driver velmora(kProgram);
        ASSERT_TRUE(velmora.window());
        velmora.clickListEntry(1);
        velmora.click(kCommand6);
        const ShownBox box = AnswerBox(velmora.processId(), IDOK, c.typed, 10000);
        ASSERT_TRUE(box.found);
        EXPECT_EQ(box.title, "Add New Entry: hosts.work");
        EXPECT_EQ(box.field, "#   127.0.0.1   Localhost");
        velmora.settle();
        EXPECT_TRUE(WaitUntil([&] { return ReadBytes(kHostsDir + "hosts.work") == c.after; }, 3000)) << c.typed;
    }
}

TEST_F(Form1Window, ShowCurrentHostsWarnsBeforeNotepadOpensIt)
{
    Form1Driver velmora(kProgram);
    ASSERT_TRUE(velmora.window());
    velmora.click(kCommand4);
    const ShownBox box = AnswerBox(velmora.processId(), IDOK, "", 10000);
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.title, "Warning - Changes may get overwritten!");
    EXPECT_EQ(box.text, "Warning: Your changes will be overwritten with the next switch of the Host-File!\r\n\r\n"
                        "Edit the Files from the list, to make your changes permanent.");
    EXPECT_TRUE(ChildProcessesOf(velmora.processId()).empty()) << "nothing is started before the box is closed";
    EXPECT_TRUE(WaitUntil([&] { return ChildProcessesOf(velmora.processId()).count("notepad.exe") == 1; }, 10000));
    EXPECT_TRUE(WaitForWindowTitled("Hosts - Notepad", velmora.processId(), 10000)) << "Notepad shows the active hosts";
}

TEST_F(Form1Window, AClickOnThePictureStartsExplorer)
{
    Form1Driver velmora(kProgram);
    ASSERT_TRUE(velmora.window());
    velmora.click(kPicture1);
    EXPECT_TRUE(WaitUntil([&] { return ChildProcessesOf(velmora.processId()).count("explorer.exe") == 1; }, 10000));
}

// Reads a shortcut back through the system's own shell link object.
struct LinkValues {
    std::wstring target, arguments, workingDirectory, iconPath;
    int iconIndex = -1;
};

LinkValues LoadLink(const std::string& path)
{
    LinkValues values;
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                     reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        std::wstring widePath(path.begin(), path.end());
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
            SUCCEEDED(file->Load(widePath.c_str(), STGM_READ))) {
            wchar_t text[MAX_PATH * 2] = {};
            link->GetPath(text, MAX_PATH, nullptr, 0);
            values.target = text;
            link->GetArguments(text, MAX_PATH);
            values.arguments = text;
            link->GetWorkingDirectory(text, MAX_PATH);
            values.workingDirectory = text;
            link->GetIconLocation(text, MAX_PATH, &values.iconIndex);
            values.iconPath = text;
        }
        if (file)
            file->Release();
        link->Release();
    }
    ::CoUninitialize();
    return values;
}

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

TEST_F(Form1Window, TheDesktopShortcutSwitchesToTheSelectedVariant)
{
    const std::string link = DesktopFolder() + "\\Hosts-work.lnk";
    ::DeleteFileA(link.c_str());
    {
        Form1Driver velmora(kProgram);
        ASSERT_TRUE(velmora.window());
        velmora.clickListEntry(1);
        velmora.click(kCommand3);
        const ShownBox box = AnswerBox(velmora.processId(), IDOK, "", 15000);
        ASSERT_TRUE(box.found);
        EXPECT_EQ(box.title, "Desktop-Shortcut created: 'Hosts-work.lnk'");
        EXPECT_EQ(box.text, "Direct-Shortcut for 'Hosts.work' is created on your Desktop");
    }
    const LinkValues values = LoadLink(link);
    EXPECT_EQ(::lstrcmpiW(values.target.c_str(), Wide(kProgram).c_str()), 0);
    EXPECT_EQ(values.arguments, L"work");
    EXPECT_EQ(::lstrcmpiW(values.workingDirectory.c_str(), Wide(kProgramFolder).c_str()), 0);
    EXPECT_EQ(::lstrcmpiW(values.iconPath.c_str(), Wide(kProgram).c_str()), 0);
    EXPECT_EQ(values.iconIndex, 0);

    // A double-click on the shortcut: the shell starts what it names, and the program switches without a window.
    SHELLEXECUTEINFOA start {};
    start.cbSize = sizeof start;
    start.fMask = SEE_MASK_NOCLOSEPROCESS;
    start.lpVerb = "open";
    start.lpFile = link.c_str();
    start.nShow = SW_SHOWNORMAL;
    ASSERT_TRUE(::ShellExecuteExA(&start));
    if (start.hProcess) {
        EXPECT_EQ(::WaitForSingleObject(start.hProcess, 15000), WAIT_OBJECT_0);
        ::CloseHandle(start.hProcess);
    }
    EXPECT_TRUE(WaitUntil([] { return ReadBytes(kHostsDir + "hosts") == "10.0.0.1 work\r\n"; }, 10000));
    // Kept for the test that reads it with lnkinfo on the Linux side (shortcut_lnkinfo_test.sh).
    ::CreateDirectoryA("C:\\velmora-shortcut-check", nullptr);
    ::MoveFileExA(link.c_str(), "C:\\velmora-shortcut-check\\Hosts-work.lnk", MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED);
}

TEST_F(Form1Window, TheShellLibrariesAreLoadedByTheFirstCommandThatNeedsThem)
{
    RecordingBrowser browser;
    Form1Driver velmora(kProgram);
    ASSERT_TRUE(velmora.window());
    ASSERT_TRUE(WaitUntil([&] { return velmora.tooltipWindow() != nullptr; }, 3000)) << "the start is complete";
    const std::set<std::string> atStart = LibrariesOf(velmora.processId());
    ASSERT_EQ(atStart.count("user32.dll"), 1u) << "the program's libraries can be read";
    // Not ole32: Wine's input method support initialises COM for every window that gets the focus.
    for (const char* library : {"shell32.dll", "oleaut32.dll"})
        EXPECT_EQ(atStart.count(library), 0u) << library << " is mapped by the start";
    velmora.click(kLabel1);  // looks up the program for web pages
    ASSERT_TRUE(WaitUntil([&] { return !browser.record().empty(); }, 10000));
    EXPECT_EQ(LibrariesOf(velmora.processId()).count("shell32.dll"), 1u);
}

TEST_F(Form1Window, TheLinkOpensTheHomePageWithTheProgramForWebPages)
{
    RecordingBrowser browser;
    Form1Driver velmora(kProgram);
    ASSERT_TRUE(velmora.window());
    velmora.click(kLabel1);
    ASSERT_TRUE(WaitUntil([&] { return !browser.record().empty(); }, 10000)) << "the browser was not started";
    EXPECT_EQ(::lstrcmpiA(browser.record().c_str(), (kRecorder + " https://velmora.example.org/").c_str()), 0)
        << browser.record();
    EXPECT_EQ(AttributesOf("C:\\DelMEX00001.html"), INVALID_FILE_ATTRIBUTES) << "the probe is gone";
    EXPECT_TRUE(::IsWindowVisible(velmora.control(kLabel1)));
}

}  // namespace
}  // namespace velmora::windows_testing
