#include "platform/linux/applications/desktop_entry_matcher.h"

#include <gtest/gtest.h>

#include "fake_root.h"
#include "platform/linux/applications/entry_command.h"
#include "platform/linux/applications/program_path_chain.h"

namespace pylonix::linux_platform {
namespace {

using Args = std::vector<std::string>;
const std::vector<std::filesystem::path> kPath{"/usr/local/bin", "/usr/bin", "/bin"};

std::string entryPath(const std::string& id) {
    return "/usr/share/applications/" + id + ".desktop";
}

CatalogueEntry app(const std::string& id, const std::string& exec, const std::string& more = "") {
    return catalogueEntry(entryPath(id), "[Desktop Entry]\nType=Application\nName=" + id +
                                             "\nExec=" + exec + "\n" + more);
}

// A Debian-like system: merged /usr, versioned interpreters behind links, a launcher script.
class MatcherTest : public ::testing::Test {
  protected:
    MatcherTest() : root_("matcher") {
        root_.link("/bin", "usr/bin");
        for (const char* program :
             {"/usr/bin/dash", "/usr/bin/bash", "/usr/bin/python3.11", "/usr/bin/perl5.36.0",
              "/usr/bin/node", "/usr/lib/jvm/java-17-openjdk-amd64/bin/java",
              "/usr/bin/gjs-console", "/usr/bin/mono", "/usr/lib/wine/wine64", "/usr/bin/flatpak",
              "/usr/bin/env", "/usr/lib/chromium/chromium", "/usr/lib/firefox-esr/firefox-esr",
              "/usr/bin/thonny", "/usr/lib/libreoffice/program/soffice", "/opt/game/launcher",
              "/usr/bin/xterm", "/usr/bin/top", "/opt/app/app"}) {
            root_.program(program);
        }
        root_.link("/usr/bin/sh", "dash");
        root_.link("/usr/bin/python3", "python3.11");
        root_.link("/usr/bin/perl", "perl5.36.0");
        root_.link("/etc/alternatives/java", "/usr/lib/jvm/java-17-openjdk-amd64/bin/java");
        root_.link("/usr/bin/java", "/etc/alternatives/java");
        root_.link("/usr/bin/gjs", "gjs-console");
        root_.link("/usr/bin/wine", "../lib/wine/wine64");
        root_.link("/usr/bin/chromium", "../lib/chromium/chromium");
        root_.link("/usr/bin/firefox-esr", "../lib/firefox-esr/firefox-esr");
        root_.link("/usr/bin/libreoffice", "../lib/libreoffice/program/soffice");
    }

    DesktopEntryMatcher matcher(const std::vector<CatalogueEntry>& entries) const {
        return DesktopEntryMatcher(entries, kPath, root_.path());
    }

    FakeRoot root_;
};

TEST_F(MatcherTest, ProgramsResolveThroughPathAndEveryLink) {
    EXPECT_EQ(programPathChain("firefox-esr", kPath, root_.path()),
              (Args{"/usr/bin/firefox-esr", "/usr/lib/firefox-esr/firefox-esr"}));
    // A directory link, then two absolute ones through /etc/alternatives.
    EXPECT_EQ(programPathChain("/bin/java", kPath, root_.path()),
              (Args{"/bin/java", "/usr/bin/java", "/etc/alternatives/java",
                    "/usr/lib/jvm/java-17-openjdk-amd64/bin/java"}));
    EXPECT_EQ(programPathChain("/usr/bin/../bin/sh", kPath, root_.path()),
              (Args{"/usr/bin/sh", "/usr/bin/dash"}));
    root_.program("/usr/bin/notes", false);  // not executable: the later PATH entry is started
    root_.program("/bin/sub/notes");
    root_.link("/usr/local/bin/notes", "missing");  // dangling: skipped like the shell does
    EXPECT_EQ(
        programPathChain("notes", {"/usr/local/bin", "/usr/bin", "/usr/bin/sub"}, root_.path()),
        (Args{"/usr/bin/sub/notes"}));
    root_.link("/usr/bin/loop-a", "loop-b");
    root_.link("/usr/bin/loop-b", "loop-a");
    EXPECT_EQ(programPathChain("loop-a", kPath, root_.path()), Args{});
    EXPECT_EQ(programPathChain("bin/top", kPath, root_.path()), Args{});   // relative
    EXPECT_EQ(programPathChain("/usr/bin", kPath, root_.path()), Args{});  // a directory
    EXPECT_EQ(programPathChain("", kPath, root_.path()), Args{});
}

TEST_F(MatcherTest, AnInterpreterEntryClaimsOnlyProcessesRunningItsScript) {
    // Today's rule gave every python3 process of the user to this entry.
    const auto m = matcher({app("foo-editor", "/usr/bin/python3 /opt/foo/main.py %F")});
    const std::string python = "/usr/bin/python3.11";
    EXPECT_TRUE(m.needsCommandLine(python));
    EXPECT_TRUE(m.needsCommandLine(python + " (deleted)"));
    EXPECT_EQ(m.match(python, {"/usr/bin/python3", "/opt/foo/main.py", "notes.txt"}),
              entryPath("foo-editor"));
    EXPECT_EQ(m.match(python, {"python3", "-u", "/opt/foo/main.py"}), entryPath("foo-editor"));
    EXPECT_EQ(m.match(python, {"/usr/bin/python3", "/usr/bin/unattended-upgrade"}), std::nullopt);
    EXPECT_EQ(m.match(python, {"/usr/bin/python3"}), std::nullopt);
    EXPECT_EQ(m.match(python, {}), std::nullopt);  // no command line read: nothing to go on
    EXPECT_EQ(m.match("/usr/bin/python3", {"python3", "/opt/foo/main.py"}),
              entryPath("foo-editor"));  // the link's own path names the same program
}

TEST_F(MatcherTest, AnInlineScriptOrABareInterpreterClaimsNothing) {
    // Today's rule gave every dash process to "Game Launcher".
    const auto m = matcher({
        app("game-launcher", "sh -c \"cd /opt/game && exec ./launcher\""),
        app("python-shell", "python3"),
        app("login-shell", "bash -l"),
        app("perl-oneliner", "perl -e \"print 1\""),
        app("env-only", "env LANG=C"),
    });
    for (const auto& [executable, commandLine] : std::vector<std::pair<std::string, Args>>{
             {"/usr/bin/dash", {"sh", "-c", "cd /opt/game && exec ./launcher"}},
             {"/usr/bin/dash", {"/bin/sh", "/etc/cron.daily/man-db"}},
             {"/usr/bin/python3.11", {"python3"}},
             {"/usr/bin/bash", {"bash", "-l"}},
             {"/usr/bin/perl5.36.0", {"perl", "-e", "print 1"}},
             {"/usr/bin/env", {"env", "LANG=C"}},
         }) {
        EXPECT_EQ(m.match(executable, commandLine), std::nullopt) << commandLine.front();
    }
}

TEST_F(MatcherTest, SharedInterpretersAndLaunchersNeedTheEntrysOwnArguments) {
    struct Case {
        std::string exec;
        std::string executable;  // what the process runs
        Args own;                // a process started from the entry
        Args other;              // another process of the same program
    };
    const std::vector<Case> cases{
        {"env GTK_THEME=Adwaita:dark bash /opt/tool/run.sh",
         "/usr/bin/bash",
         {"bash", "/opt/tool/run.sh"},
         {"bash", "/home/u/build.sh"}},
        {"bash /opt/tool/run.sh", "/usr/bin/bash", {"bash", "/opt/tool/run.sh"}, {"-bash"}},
        {"perl /usr/share/shutter/bin/shutter",
         "/usr/bin/perl5.36.0",
         {"/usr/bin/perl", "/usr/share/shutter/bin/shutter"},
         {"perl", "-w", "/tmp/x.pl"}},
        {"node /opt/notes/main.js",
         "/usr/bin/node",
         {"node", "/opt/notes/main.js"},
         {"node", "/home/u/server.js"}},
        {"java -jar /usr/share/jabref/jabref.jar %f",
         "/usr/lib/jvm/java-17-openjdk-amd64/bin/java",
         {"java", "-Xmx1g", "-jar", "/usr/share/jabref/jabref.jar", "a.bib"},
         {"java", "-jar", "/opt/other/other.jar"}},
        {"gjs -m /usr/share/org.example.Maps/main.js",
         "/usr/bin/gjs-console",
         {"gjs", "-m", "/usr/share/org.example.Maps/main.js"},
         {"gjs", "/usr/bin/gnome-shell-x"}},
        {"mono /usr/lib/keepass2/KeePass.exe",
         "/usr/bin/mono",
         {"mono", "/usr/lib/keepass2/KeePass.exe"},
         {"mono", "/usr/lib/other/Other.exe"}},
        {"wine start /unix /home/u/.wine/drive_c/Game/game.exe",
         "/usr/lib/wine/wine64",
         {"wine", "start", "/unix", "/home/u/.wine/drive_c/Game/game.exe"},
         {"wine", "notepad"}},
        {"flatpak run --branch=stable org.example.Notes",
         "/usr/bin/flatpak",
         {"flatpak", "run", "--branch=stable", "org.example.Notes"},
         {"flatpak", "run", "org.example.Other"}},
    };
    for (const Case& c : cases) {
        const auto m = matcher({app("entry", c.exec)});
        EXPECT_TRUE(m.needsCommandLine(c.executable)) << c.exec;
        EXPECT_EQ(m.match(c.executable, c.own), entryPath("entry")) << c.exec;
        EXPECT_EQ(m.match(c.executable, c.other), std::nullopt) << c.exec;
    }
}

TEST_F(MatcherTest, ABrowserKeepsItsProcessesAndEachWebAppOnlyItsOwn) {
    const auto m = matcher({
        app("chromium", "/usr/bin/chromium %U"),
        app("chrome-abc-Default", "/usr/bin/chromium --profile-directory=Default --app-id=abc"),
        app("chrome-xyz-Default", "/usr/bin/chromium --profile-directory=Default --app-id=xyz"),
    });
    const std::string chromium = "/usr/lib/chromium/chromium";
    EXPECT_TRUE(m.needsCommandLine(chromium));
    // Upgraded while it runs: its arguments still decide which entry it is.
    EXPECT_TRUE(m.needsCommandLine(chromium + " (deleted)"));
    EXPECT_EQ(
        m.match(chromium + " (deleted)", {chromium, "--profile-directory=Default", "--app-id=xyz"}),
        entryPath("chrome-xyz-Default"));
    EXPECT_EQ(m.match(chromium, {chromium}), entryPath("chromium"));
    EXPECT_EQ(m.match(chromium, {chromium, "--type=renderer", "--lang=zh-CN"}),
              entryPath("chromium"));
    EXPECT_EQ(m.match(chromium, {chromium, "--profile-directory=Default", "--app-id=abc"}),
              entryPath("chrome-abc-Default"));
    EXPECT_EQ(m.match(chromium, {chromium, "--profile-directory=Default", "--app-id=xyz"}),
              entryPath("chrome-xyz-Default"));
    // An app without an entry, or half of an entry's arguments: the browser.
    EXPECT_EQ(m.match(chromium, {chromium, "--profile-directory=Default", "--app-id=new"}),
              entryPath("chromium"));
    EXPECT_EQ(m.match(chromium, {chromium, "--app-id=abc"}), entryPath("chromium"));
    // The arguments in another order are another command.
    EXPECT_EQ(m.match(chromium, {chromium, "--app-id=abc", "--profile-directory=Default"}),
              entryPath("chromium"));
    // A title rewritten into one string is read word by word.
    EXPECT_EQ(m.match(chromium, {chromium + " --profile-directory=Default --app-id=xyz"}),
              entryPath("chrome-xyz-Default"));
}

TEST_F(MatcherTest, AnOfficeSuiteSharingOneWrapperTellsItsEntriesApart) {
    const auto m = matcher({
        app("libreoffice-startcenter", "libreoffice %U"),
        app("libreoffice-writer", "libreoffice --writer %U"),
        app("libreoffice-calc", "libreoffice --calc %U"),
        app("libreoffice-xsltfilter", "libreoffice %U", "NoDisplay=true\n"),
    });
    const std::string soffice = "/usr/lib/libreoffice/program/soffice";
    EXPECT_EQ(m.match(soffice, {soffice, "--writer", "a.odt"}), entryPath("libreoffice-writer"));
    EXPECT_EQ(m.match(soffice, {soffice, "--calc"}), entryPath("libreoffice-calc"));
    // Both entries without arguments match: the first in the catalogue's order wins.
    EXPECT_EQ(m.match(soffice, {soffice, "a.odt"}), entryPath("libreoffice-startcenter"));
    EXPECT_EQ(m.match("/usr/bin/libreoffice", {"libreoffice", "--calc"}),
              entryPath("libreoffice-calc"));
}

TEST_F(MatcherTest, AProgramOfItsOwnNeedsNoCommandLine) {
    const auto m = matcher({
        app("firefox-esr", "firefox-esr %u"),
        app("tool", "env -u SESSION_MANAGER GDK_BACKEND=x11 /opt/app/app --no-sandbox %U"),
        app("game", "/usr/bin/true", "TryExec=/opt/game/launcher\n"),
        app("top", "top", "Terminal=true\n"),
    });
    const std::string firefox = "/usr/lib/firefox-esr/firefox-esr";
    EXPECT_FALSE(m.needsCommandLine(firefox));
    EXPECT_EQ(m.match(firefox, {}), entryPath("firefox-esr"));
    EXPECT_EQ(m.match(firefox, {firefox, "-contentproc", "-childID", "3"}),
              entryPath("firefox-esr"));
    EXPECT_EQ(m.match(firefox + " (deleted)", {}), entryPath("firefox-esr"));  // upgraded
    // Through env; its own arguments are not required of a program no other entry runs.
    EXPECT_EQ(m.match("/opt/app/app", {"/opt/app/app", "--type=gpu-process"}), entryPath("tool"));
    EXPECT_EQ(m.match("/usr/bin/env", {"env"}), std::nullopt);
    EXPECT_EQ(m.match("/opt/game/launcher", {}), entryPath("game"));  // by TryExec
    EXPECT_EQ(m.match("/usr/bin/top", {}), std::nullopt);  // the terminal's, not the entry's
    EXPECT_FALSE(m.needsCommandLine("/usr/bin/top"));
    EXPECT_EQ(m.match("/usr/bin/xterm", {}), std::nullopt);
}

TEST_F(MatcherTest, AnInterpreterRunningAnEntrysScriptIsThatEntry) {
    // /usr/bin/thonny starts with "#!/usr/bin/python3": the process runs python3.11.
    const auto m = matcher({app("org.thonny.Thonny", "/usr/bin/thonny %F")});
    const std::string python = "/usr/bin/python3.11";
    EXPECT_TRUE(m.needsCommandLine(python));
    EXPECT_EQ(m.match(python, {"/usr/bin/python3", "/usr/bin/thonny", "x.py"}),
              entryPath("org.thonny.Thonny"));
    EXPECT_EQ(m.match(python, {"/usr/bin/python3", "-c", "/usr/bin/thonny"}), std::nullopt);
    EXPECT_EQ(m.match(python, {"/usr/bin/python3", "/usr/bin/other", "/usr/bin/thonny"}),
              std::nullopt);  // a file the script is given is not the script
    EXPECT_FALSE(matcher({}).needsCommandLine(python));  // nothing to tell apart
}

TEST(EntryCommandTest, EnvIsLookedThroughToTheProgramItStarts) {
    const auto command = [](Args exec) { return entryCommand(exec); };
    EXPECT_EQ(command({"env", "A=1", "B=x=y", "/opt/app/app", "--x"}).program, "/opt/app/app");
    EXPECT_EQ(command({"env", "A=1", "/opt/app/app", "--x"}).arguments, Args{"--x"});
    EXPECT_EQ(command({"/usr/bin/env", "-i", "-u", "DISPLAY", "--chdir", "/tmp", "prog"}).program,
              "prog");
    EXPECT_EQ(command({"env", "-S", "A=1 prog -v", "file"}).arguments, (Args{"-v", "file"}));
    EXPECT_EQ(command({"env", "-SA=1 prog"}).program, "prog");
    EXPECT_EQ(command({"env", "--", "A=1"}).program, "A=1");  // after --, a program's name
    EXPECT_EQ(command({"env", "env", "A=1", "python3", "x.py"}).program, "python3");
    EXPECT_EQ(command({"env", "1A=2"}).program, "1A=2");  // not a variable name
    EXPECT_EQ(command({"env", "A=1"}).program, "");
    EXPECT_EQ(command({"env", "-u"}).program, "");
    EXPECT_EQ(command({}).program, "");
}

TEST(EntryCommandTest, InterpretersAreKnownByNameWhateverTheirVersion) {
    for (const char* path : {"/usr/bin/python3.11", "python", "/usr/bin/perl5.36.0", "lua5.4",
                             "/usr/lib/jvm/java-17-openjdk-amd64/bin/java", "wine-stable",
                             "/usr/bin/dash", "gjs-console", "flatpak", "env"}) {
        EXPECT_TRUE(isInterpreterProgram(path)) << path;
    }
    for (const char* path : {"/usr/bin/firefox-esr", "/usr/bin/thonny",
                             "/usr/bin/python-argcomplete", "", "/", "3.11"}) {
        EXPECT_FALSE(isInterpreterProgram(path)) << path;
    }
    EXPECT_TRUE(namesWhatToRun("python3", Args{"-m", "idlelib"}));
    EXPECT_FALSE(namesWhatToRun("perl", Args{"-E", "/x.pl"}));    // inline for perl
    EXPECT_TRUE(namesWhatToRun("python3", Args{"-E", "/x.py"}));  // an option for python
    EXPECT_FALSE(namesWhatToRun("node", Args{"--eval", "x"}));
    EXPECT_FALSE(namesWhatToRun("bash", Args{"--norc", "-i"}));
    EXPECT_FALSE(namesWhatToRun("bash", Args{}));
}

}  // namespace
}  // namespace pylonix::linux_platform
