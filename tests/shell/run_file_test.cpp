// The launcher's routines over a recording fake: which probes are made, looked up and removed, which
// directories are made current, and what is started.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>

#include "shell/run_file.h"
#include "tests/support/fake_platform.h"

namespace velmora {
namespace {

using testing::FakePlatform;

const std::string kBrowser = "C:\\Program Files\\Web\\browser.exe";
const std::string kEditor = "C:\\Windows\\notepad.exe";
const std::string kScriptHost = "D:\\Scripts\\wscript.exe";
const std::string kWordProcessor = "C:\\word.exe";
const std::string kPrompt = "Enthält ungültige Zeichen Abbrechen?";

// The fake platform with a file system like the home platform's: names with wildcard characters or a colon
// after the drive cannot be created, hidden files are not listed, and a command line without a program
// cannot be started. Also records what is listed and looked up, and every file made with its content.
class LauncherPlatform : public FakePlatform {
public:
    LauncherPlatform()
    {
        programFolderText = "C:\\Tools";
        currentDirectoryText = "C:\\Work";
        associations = {{".HTML", kBrowser}, {".TXT", kEditor}, {".JS", kScriptHost}, {".DOC", kWordProcessor}};
        otherEntries = {"C:\\Docs"};  // the user's folder, empty unless a case puts files in it
    }

    std::vector<std::string> lookups;     // "list|<pattern>", "find|<file>"
    std::vector<std::string> made;        // "<path>|<content>"
    std::set<std::string> hiddenFiles;    // stored, but never listed
    bool acceptsWildcardNames = false;    // as the Linux file system does
    bool refusesNameProbes = false;       // the second probe cannot be made

    std::vector<std::string> findFiles(const std::string& pattern) override
    {
        lookups.push_back("list|" + pattern);
        std::vector<std::string> names;
        for (const std::string& name : FakePlatform::findFiles(pattern))
            if (!hiddenFiles.count(name))
                names.push_back(name);
        return names;
    }

    std::string findExecutable(const std::string& file) override
    {
        lookups.push_back("find|" + file);
        return FakePlatform::findExecutable(file);
    }

    bool createTextFileIfAbsent(const std::string& path, const std::string& content) override
    {
        const std::string afterDrive = path.size() >= 2 && path[1] == ':' ? path.substr(2) : path;
        if ((!acceptsWildcardNames && afterDrive.find_first_of("*?\"<>|:") != std::string::npos) ||
            (refusesNameProbes && path.find("zzzzzzzTemp_") != std::string::npos))
            throw RuntimeError(RuntimeErrorNumber::BadFileNameOrNumber, path);
        const bool created = FakePlatform::createTextFileIfAbsent(path, content);
        if (created)
            made.push_back(path + "|" + content);
        return created;
    }

    double startProcess(const std::string& commandLine, int windowStyle) override
    {
        if (commandLine.empty() || commandLine.front() == ' ')
            throw RuntimeError(RuntimeErrorNumber::FileNotFound, "", "no program to start");
        return FakePlatform::startProcess(commandLine, windowStyle);
    }

    std::vector<std::string> finds() const
    {
        std::vector<std::string> found;
        for (const std::string& line : lookups)
            if (line.rfind("find|", 0) == 0)
                found.push_back(line.substr(5));
        return found;
    }
};

using Log = std::vector<std::string>;
using Files = std::map<std::string, std::string>;

TEST(ResolveAssociatedProgram, MakesAndRemovesOnlyItsOwnFilesAndRestoresTheCurrentDirectory)
{
    struct Case {
        std::string what;
        std::string path;
        Files existing;
        std::string expected;
        Log expectedLog;       // files made and deleted, questions, drive and directory changes, in order
        Log expectedFinds;     // the files the association lookup was asked about
        std::function<void(LauncherPlatform&)> setUp = {};
    };
    const Log restore = {"cd|C:\\Work", "drive|C"};
    const auto then = [](Log first, const Log& second) {
        first.insert(first.end(), second.begin(), second.end());
        return first;
    };
    const Case cases[] = {
        {"an existing file is looked up where it is",
         "C:\\DelMEX00001.html", {{"C:\\DelMEX00001.html", "\r\n"}}, kBrowser,
         then({"drive|C", "cd|C:\\Program Files\\Web"}, restore),
         {"C:\\DelMEX00001.html"}},
        {"a missing file is made empty for the lookup and removed again",
         "C:\\Docs\\new.txt", {}, kEditor,
         then(then({"create|C:\\Docs\\new.txt", "drive|C", "cd|C:\\Windows"}, restore), {"delete|C:\\Docs\\new.txt"}),
         {"C:\\Docs\\new.txt"}},
        {"without a separator the name is looked for at the drive's root, then through the name probe",
         "page.html", {}, kBrowser,
         then(then({"create|page.html", "create|C:\\zzzzzzzTemp_page.html", "delete|C:\\zzzzzzzTemp_page.html",
                    "drive|C", "cd|C:\\Program Files\\Web"},
                   restore),
              {"delete|page.html"}),
         {"C:\\zzzzzzzTemp_page.html"}},
        {"a URL splits at its last slash; the program path has no slash, so no directory is changed",
         "http://example.org/docs/index.html", {}, kBrowser,
         then({"create|C:\\zzzzzzzTemp_index.html", "delete|C:\\zzzzzzzTemp_index.html"}, restore),
         {"C:\\zzzzzzzTemp_index.html"}},
        {"a leading asterisk is dropped and the bare extension goes to the name probe",
         "*.txt", {}, kEditor,
         then({"create|C:\\zzzzzzzTemp_.txt", "delete|C:\\zzzzzzzTemp_.txt", "drive|C", "cd|C:\\Windows"}, restore),
         {"C:\\zzzzzzzTemp_.txt"}},
        {"an asterisk inside, answered No, goes on with the asterisk to the extension probe",
         "a*b.txt", {}, kEditor,
         then({"box|a*b.txt" + kPrompt + "|4|-", "create|C:\\RunFileTmp.txt", "delete|C:\\RunFileTmp.txt", "drive|C",
               "cd|C:\\Windows"},
              restore),
         {"C:\\zzzzzzzTemp_a*b.txt", "C:\\RunFileTmp.txt"},
         [](LauncherPlatform& p) { p.messageAnswers = {message_answer::kNo}; }},
        {"a second leading asterisk stays and is asked about",
         "C:\\Docs\\**.txt", {}, "",
         {"box|*.txt" + kPrompt + "|4|-"}, {},
         [](LauncherPlatform& p) { p.messageAnswers = {message_answer::kYes}; }},
        {"Yes removes the file made at the entry path and changes no directory",
         "C:\\Docs\\a*b.txt", {}, "",
         {"create|C:\\Docs\\a*b.txt", "box|a*b.txt" + kPrompt + "|4|-", "delete|C:\\Docs\\a*b.txt"}, {},
         [](LauncherPlatform& p) {
             p.acceptsWildcardNames = true;
             p.messageAnswers = {message_answer::kYes};
         }},
        {"a program in a drive's root makes the drive letter and colon current",
         "C:\\Docs\\letter.doc", {{"C:\\Docs\\letter.doc", "x"}}, kWordProcessor,
         then({"drive|C", "cd|C:"}, restore), {"C:\\Docs\\letter.doc"}},
        {"a program on another drive makes that drive current before its folder",
         "C:\\Docs\\tool.js", {{"C:\\Docs\\tool.js", "x"}}, kScriptHost,
         then({"drive|D", "cd|D:\\Scripts"}, restore), {"C:\\Docs\\tool.js"}},
        {"a file without any association leaves the result empty after the extension probe",
         "C:\\Docs\\data.xyz", {{"C:\\Docs\\data.xyz", "x"}}, "",
         then({"create|C:\\RunFileTmp.xyz", "delete|C:\\RunFileTmp.xyz"}, restore),
         {"C:\\Docs\\data.xyz", "C:\\RunFileTmp.xyz"}},
        {"a network program folder has no drive letter: no probe on it can be made",
         "page.html", {}, "", then({"create|page.html"}, then(restore, {"delete|page.html"})), {},
         [](LauncherPlatform& p) { p.programFolderText = "\\\\server\\share\\Tools"; }},
        {"a native program folder is no drive either",
         "page.html", {}, "", then({"create|page.html"}, then(restore, {"delete|page.html"})), {},
         [](LauncherPlatform& p) { p.programFolderText = "/opt/velmora/bin"; }},
        {"a user's file at the name probe's path is looked up as it is and kept",
         "page.html", {{"C:\\zzzzzzzTemp_page.html", "mine"}}, kBrowser,
         then(then({"create|page.html", "drive|C", "cd|C:\\Program Files\\Web"}, restore), {"delete|page.html"}),
         {"C:\\zzzzzzzTemp_page.html"}},
        {"a user's file at the extension probe's path is looked up as it is and kept",
         "C:\\Docs\\x.txt", {}, kEditor,
         then(then({"create|C:\\Docs\\x.txt", "drive|C", "cd|C:\\Windows"}, restore), {"delete|C:\\Docs\\x.txt"}),
         {"C:\\zzzzzzzTemp_x.txt", "C:\\RunFileTmp.txt"},
         [](LauncherPlatform& p) {
             p.files["C:\\RunFileTmp.txt"] = "mine";
             p.hiddenFiles.insert("x.txt");  // not listed, so the name probe is taken
             p.refusesNameProbes = true;
         }},
        {"a file that is there but not listed (hidden) is neither made nor removed",
         "C:\\Docs\\.page.html", {{"C:\\Docs\\.page.html", "mine"}}, kBrowser,
         then({"create|C:\\zzzzzzzTemp_.page.html", "delete|C:\\zzzzzzzTemp_.page.html", "drive|C",
               "cd|C:\\Program Files\\Web"},
              restore),
         {"C:\\zzzzzzzTemp_.page.html"},
         [](LauncherPlatform& p) { p.hiddenFiles.insert(".page.html"); }},
    };
    for (const auto& c : cases) {
        LauncherPlatform platform;
        for (const auto& [path, content] : c.existing)
            platform.files[path] = content;
        if (c.setUp)
            c.setUp(platform);
        const Files before = platform.files;

        EXPECT_EQ(ResolveAssociatedProgram(platform, c.path), c.expected) << c.what;
        EXPECT_EQ(platform.log, c.expectedLog) << c.what;
        EXPECT_EQ(platform.finds(), c.expectedFinds) << c.what;
        EXPECT_EQ(platform.files, before) << c.what;  // everything made was removed, nothing else touched
        EXPECT_EQ(platform.currentDirectoryText, "C:\\Work") << c.what;
    }
}

TEST(ResolveAssociatedProgram, TheExtensionProbeTakesTheLastDotOfLongerNamesAndShortNamesWhole)
{
    const std::pair<std::string, std::string> cases[] = {
        {".js", "C:\\RunFileTmp.js"},
        {"txt", "C:\\RunFileTmptxt"},
        {"a.b", "C:\\RunFileTmpa.b"},                  // three characters: taken whole
        {"  ab  ", "C:\\RunFileTmpab"},               // no dot: taken whole without its outer blanks
        {"report.final.doc", "C:\\RunFileTmp.doc"},
        {"name.x", "C:\\RunFileTmp.x"},
    };
    for (const auto& [name, probe] : cases) {
        LauncherPlatform platform;
        platform.refusesNameProbes = true;
        platform.associations.clear();
        ResolveAssociatedProgram(platform, name);
        ASSERT_FALSE(platform.finds().empty()) << name;
        EXPECT_EQ(platform.finds().back(), probe) << name;
        EXPECT_EQ(platform.made.back(), probe + "| \r\n") << name;  // one line of one blank
        EXPECT_EQ(platform.files.count(probe), 0u) << name;
    }
}

TEST(ResolveAssociatedProgram, GoesOnAfterEveryFailingStep)
{
    LauncherPlatform platform;
    platform.files["C:\\Docs\\page.html"] = "x";
    platform.failures = {{"find|C:\\Docs\\page.html", RuntimeErrorNumber::DeviceUnavailable},
                         {"drive|C", RuntimeErrorNumber::DeviceUnavailable},
                         {"cd|C:\\Program Files\\Web", RuntimeErrorNumber::PathNotFound},
                         {"delete|C:\\RunFileTmp.html", RuntimeErrorNumber::PermissionDenied}};
    // The failed lookup leaves the program unfound, so the extension probe answers; its removal fails.
    EXPECT_EQ(ResolveAssociatedProgram(platform, "C:\\Docs\\page.html"), kBrowser);
    EXPECT_EQ(platform.log, (Log{"create|C:\\RunFileTmp.html", "cd|C:\\Work"}));
    EXPECT_EQ(platform.files.count("C:\\RunFileTmp.html"), 1u);
}

TEST(OpenWithDefaultBrowser, StartsTheAssociatedProgramWithTheUrlAndLeavesNoProbe)
{
    const std::string url = "https://example.org/a page?x=1 2";
    struct Case {
        std::string what;
        std::function<void(LauncherPlatform&)> setUp;
        std::optional<double> expected;
        Log expectedLog;
    };
    const Log lookUp = {"drive|C", "cd|C:\\Program Files\\Web", "cd|C:\\Work", "drive|C"};
    const auto then = [](Log first, const Log& second) {
        first.insert(first.end(), second.begin(), second.end());
        return first;
    };
    const std::string start = "start|" + kBrowser + " " + url + "|1";
    const Case cases[] = {
        {"the probe is made, asked about and removed before the start", [](LauncherPlatform&) {}, 4242,
         then(then({"create|C:\\DelMEX00001.html"}, lookUp), {"delete|C:\\DelMEX00001.html", start})},
        {"a user's file at the probe's path is used as it is and kept",
         [](LauncherPlatform& p) { p.files["C:\\DelMEX00001.html"] = "<p>mine</p>"; }, 4242, then(lookUp, {start})},
        {"an unwritable root of C: leaves the name probe on the program's drive",
         [](LauncherPlatform& p) {
             p.failures["create|C:\\DelMEX00001.html"] = RuntimeErrorNumber::PermissionDenied;
         },
         4242,
         then({"create|C:\\zzzzzzzTemp_DelMEX00001.html", "delete|C:\\zzzzzzzTemp_DelMEX00001.html"},
              then(lookUp, {start}))},
        {"without a program for web pages nothing starts", [](LauncherPlatform& p) { p.associations.clear(); },
         std::nullopt,
         {"create|C:\\DelMEX00001.html", "create|C:\\RunFileTmp.html", "delete|C:\\RunFileTmp.html", "cd|C:\\Work",
          "drive|C", "delete|C:\\DelMEX00001.html"}},
        {"a start that fails is passed over",
         [&](LauncherPlatform& p) { p.failures["start|" + kBrowser + " " + url] = RuntimeErrorNumber::FileNotFound; },
         std::nullopt, then(then({"create|C:\\DelMEX00001.html"}, lookUp), {"delete|C:\\DelMEX00001.html"})},
    };
    for (const auto& c : cases) {
        LauncherPlatform platform;
        c.setUp(platform);
        const Files before = platform.files;
        EXPECT_EQ(OpenWithDefaultBrowser(platform, url, kNormalFocusedWindow), c.expected) << c.what;
        EXPECT_EQ(platform.log, c.expectedLog) << c.what;
        EXPECT_EQ(platform.files, before) << c.what;
    }
    LauncherPlatform platform;
    OpenWithDefaultBrowser(platform, url, kNormalFocusedWindow);
    EXPECT_EQ(platform.made.front(), "C:\\DelMEX00001.html|\r\n");  // one empty line
}

}  // namespace
}  // namespace velmora
