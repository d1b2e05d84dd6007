// The desktop entry corpus: real entries, and process tables in the shapes real launchers
// leave them; every process must come out as the application recorded beside it.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "apppower/attribute_processes.h"
#include "fake_root.h"
#include "platform/linux/applications/desktop_process_identifier.h"

namespace pylonix::linux_platform {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const fs::path kCorpus = fs::path(PYLONIX_FIXTURES_DIR) / "desktop_corpus";

json readJson(const fs::path& file) {
    std::ifstream in(file);
    return json::parse(in);
}

std::string text(const json& process, const char* key) {
    const auto found = process.find(key);
    return found == process.end() ? std::string() : found->get<std::string>();
}

class DesktopCorpusTest : public ::testing::TestWithParam<std::string> {
  protected:
    DesktopCorpusTest()
        : system_(readJson(kCorpus / "filesystem.json")),
          root_("corpus"),
          identifier_(makeIdentifier()) {}

    // The machine's programs first: the matcher looks them up when it is built.
    DesktopProcessIdentifier makeIdentifier() const {
        for (const auto& program : system_["programs"]) root_.program(program.get<std::string>());
        for (const auto& [link, target] : system_["links"].items()) {
            root_.link(link, target.get<std::string>());
        }
        DesktopEntryLocations where;
        where.dataHome = kCorpus / "home";
        where.dataDirs = {kCorpus / "system", kCorpus / "flatpak", kCorpus / "snap"};
        for (const auto& dir : system_["path"])
            where.searchPath.emplace_back(dir.get<std::string>());
        where.locale = "C";
        return DesktopProcessIdentifier(std::move(where), root_.path());
    }

    // A path on the recorded machine, in the corpus.
    std::string corpusPath(const std::string& path) const {
        for (const auto& [place, folder] : system_["places"].items()) {
            if (path.starts_with(place + "/")) {
                return (kCorpus / folder.get<std::string>() / path.substr(place.size() + 1))
                    .string();
            }
        }
        return path;
    }

    std::string idOf(const LaunchHints& hints, const std::string& executable,
                     const std::vector<std::string>& commandLine) {
        const CatalogueEntry* entry = identifier_.entryFor(hints, executable, commandLine);
        return entry ? entry->desktopId : "(none)";
    }

    json system_;
    FakeRoot root_;
    DesktopProcessIdentifier identifier_;
};

TEST_P(DesktopCorpusTest, EveryProcessIsTheApplicationRecordedBesideIt) {
    const json table = readJson(kCorpus / "tables" / GetParam());
    // What each process is by itself, then its parents for the rest, as a pass places them.
    std::map<std::string, RunningApplicationIdentity> applications;
    ProcessMetadataTable metadata;
    for (const json& process : table["processes"]) {
        const auto pid = process["pid"].get<std::int32_t>();
        const std::string executable = text(process, "executable");
        metadata[pid] = {pid, process["parent"].get<std::int32_t>(), executable};
        // The command line is read only where an entry needs it.
        const auto commandLine = identifier_.needsCommandLine(executable)
                                     ? process["commandLine"].get<std::vector<std::string>>()
                                     : std::vector<std::string>{};
        const std::string launcher = text(process, "launcherDesktopFile");
        const std::string launcherInCorpus = launcher.empty() ? "" : corpusPath(launcher);
        const std::string unit = text(process, "unit");
        const std::string appImage = text(process, "appImage");
        const std::string flatpakId = text(process, "flatpakId");
        if (const CatalogueEntry* entry = identifier_.entryFor(
                {unit, launcherInCorpus, appImage, flatpakId}, executable, commandLine)) {
            auto& application = applications[entry->path];
            application.id = entry->path;
            application.processIDs.insert(pid);
        }
    }
    std::vector<RunningApplicationIdentity> identities;
    for (auto& [path, identity] : applications) identities.push_back(identity);
    const ProcessAttribution attribution = attributeProcesses(identities, metadata);

    for (const json& process : table["processes"]) {
        const auto pid = process["pid"].get<std::int32_t>();
        std::optional<std::string> found;
        if (const auto placed = attribution.find(pid); placed != attribution.end()) {
            const CatalogueEntry* entry = identifier_.catalogue().findByPath(placed->second);
            ASSERT_NE(entry, nullptr) << placed->second;
            found = entry->desktopId;
        }
        const std::optional<std::string> expected =
            process["expected"].is_null() ? std::nullopt
                                          : std::optional(process["expected"].get<std::string>());
        EXPECT_EQ(found, expected)
            << GetParam() << ": pid " << pid << ", " << process["why"].get<std::string>();
    }
}

INSTANTIATE_TEST_SUITE_P(Tables, DesktopCorpusTest,
                         ::testing::Values("gnome.json", "kde.json", "terminal.json",
                                           "autostart.json"),
                         [](const auto& table) { return fs::path(table.param).stem().string(); });

TEST_F(DesktopCorpusTest, TheMostParticularEvidenceDecides) {
    const std::string firefox = "/usr/lib/firefox-esr/firefox-esr";
    const std::string writer = corpusPath("/usr/share/applications/libreoffice-writer.desktop");
    const std::string obsidian = "/home/user/Applications/Obsidian-1.4.16.AppImage";
    const std::string konsole = "app-org.kde.konsole-5d8e0c3b1a.scope";
    EXPECT_EQ(idOf({konsole, writer, obsidian, "org.gnome.Maps"}, firefox, {}), "org.gnome.Maps");
    EXPECT_EQ(idOf({konsole, writer, obsidian, "org.example.Missing"}, firefox, {}),
              "libreoffice-writer");
    EXPECT_EQ(idOf({konsole, "/nowhere/x.desktop", obsidian, ""}, firefox, {}),
              "appimagekit_0b6f3c2d81e5a9f4c7d2e1b0a9f8e7d6-Obsidian");
    EXPECT_EQ(idOf({konsole, "", "/home/user/Other.AppImage", ""}, firefox, {}), "firefox-esr");
    EXPECT_EQ(idOf({konsole, "", "", ""}, "/usr/bin/htop", {}), "org.kde.konsole");
    EXPECT_EQ(idOf({"app-gnome-not\\x2dinstalled-7.scope", "", "", ""}, "/usr/bin/htop", {}),
              "(none)");
    EXPECT_EQ(idOf({}, "", {}), "(none)");
}

// The matcher follows the entries: applications installed or removed while this runs count.
// A scan asks about command lines before anything else: the entries are there for it.
TEST(DesktopProcessIdentifierTest, EntriesInstalledOrRemovedCountAfterARefresh) {
    FakeRoot root("identifier");
    root.program("/opt/notes/notes");
    const fs::path xdg = root.path() / "xdg";
    fs::create_directories(xdg / "applications");
    std::ofstream(xdg / "applications/notes.desktop")
        << "[Desktop Entry]\nType=Application\nName=Notes\nExec=/opt/notes/notes %U\n";
    {
        DesktopProcessIdentifier scanFirst({xdg, {}, {}, "C"}, root.path());
        EXPECT_TRUE(scanFirst.needsCommandLine("/usr/bin/python3.11"));  // notes may be a script
        EXPECT_FALSE(scanFirst.needsCommandLine("/opt/notes/notes"));
    }
    DesktopProcessIdentifier identifier({xdg, {}, {}, "C"}, root.path());
    ASSERT_NE(identifier.entryFor({}, "/opt/notes/notes", {}), nullptr);  // read on first use
    fs::remove(xdg / "applications/notes.desktop");
    std::ofstream(xdg / "applications/tool.desktop")
        << "[Desktop Entry]\nType=Application\nName=Tool\nExec=/opt/notes/tool\n";
    root.program("/opt/notes/tool");
    // A directory's time stamp may not move within its granularity: make the change visible.
    fs::last_write_time(xdg / "applications",
                        fs::last_write_time(xdg / "applications") + std::chrono::seconds(2));
    identifier.refreshIfChanged();
    EXPECT_EQ(identifier.entryFor({}, "/opt/notes/notes", {}), nullptr);  // removed
    EXPECT_TRUE(identifier.needsCommandLine("/usr/bin/python3.11"));
    const CatalogueEntry* entry = identifier.entryFor({}, "/opt/notes/tool", {});
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->desktopId, "tool");
}

}  // namespace
}  // namespace pylonix::linux_platform
