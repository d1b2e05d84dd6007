#include <gtest/gtest.h>

#include <set>

#include "apppower/application_bundle_path.h"
#include "apppower/attribute_processes.h"
#include "apppower/running_application_identities.h"

namespace pylonix {
namespace {

TEST(ApplicationBundlePath, OutermostBundleWithItsLetterCase) {
    EXPECT_EQ(applicationBundlePath("/Applications/Mail.app/Contents/MacOS/Mail"),
              "/Applications/Mail.app");
    EXPECT_EQ(applicationBundlePath("/Applications/Mail.APP/Contents/MacOS/Mail"),
              "/Applications/Mail.APP");
    EXPECT_EQ(applicationBundlePath(
                  "/Applications/Editor.app/Contents/Frameworks/Worker.app/Contents/MacOS/Worker"),
              "/Applications/Editor.app");
    EXPECT_EQ(applicationBundlePath("/Applications/Mail.app"), "/Applications/Mail.app");
    EXPECT_EQ(applicationBundlePath("//Applications///Mail.app/"), "/Applications/Mail.app");
    EXPECT_EQ(applicationBundlePath("Apps/Tool.app/x"), "Apps/Tool.app");
}

TEST(ApplicationBundlePath, NothingOutsideABundle) {
    EXPECT_EQ(applicationBundlePath(""), std::nullopt);
    EXPECT_EQ(applicationBundlePath("/"), std::nullopt);
    EXPECT_EQ(applicationBundlePath("/usr/bin/top"), std::nullopt);
    EXPECT_EQ(applicationBundlePath("/Applications/Mail.apps/Mail"), std::nullopt);
    EXPECT_EQ(applicationBundlePath("/opt/app/bin"), std::nullopt);  // "app" is no ".app"
    EXPECT_EQ(applicationBundlePath("/x/.app"), "/x/.app");
}

using Policy = PlatformRunningApplication::ActivationPolicy;

TEST(RunningApplicationIdentities, NestedInstancesAreOneIdentityNamedAfterTheFirst) {
    const std::vector<PlatformRunningApplication> platform = {
        {false, Policy::regular, "/Applications/Editor.app", "Editor", 10},
        {false, Policy::accessory, "/Applications/Editor.app/Contents/Helpers/Worker.app", "Worker",
         11},
        {false, Policy::regular, "/Applications/Mail.app", std::nullopt, 20},
    };
    const auto identities = runningApplicationIdentities(platform);
    ASSERT_EQ(identities.size(), 2u);
    EXPECT_EQ(identities[0],
              (RunningApplicationIdentity{"/Applications/Editor.app", "Editor", {10, 11}}));
    EXPECT_EQ(identities[1], (RunningApplicationIdentity{"/Applications/Mail.app", "Mail", {20}}));
}

TEST(RunningApplicationIdentities, SkipsTerminatedBackgroundAndUnbundledInstances) {
    const std::vector<PlatformRunningApplication> platform = {
        {true, Policy::regular, "/Applications/Gone.app", "Gone", 1},
        {false, Policy::prohibited, "/Applications/Agent.app", "Agent", 2},
        {false, Policy::regular, std::nullopt, "NoBundle", 3},
        {false, Policy::regular, "/usr/bin/tool", "Tool", 4},
        {false, Policy::regular, "/Applications/Later.app", std::nullopt, 5},
        {false, Policy::regular, "/Applications/Later.app", "Named too late", 6},
        {false, Policy::regular, "/Applications/Later.app", "No process", -1},
        {false, Policy::regular, "/Applications/Kernel.app", "No process", 0},
    };
    const auto identities = runningApplicationIdentities(platform);
    ASSERT_EQ(identities.size(), 2u);
    EXPECT_EQ(identities[0],
              (RunningApplicationIdentity{"/Applications/Later.app", "Later", {5, 6}}));
    EXPECT_EQ(identities[1],
              (RunningApplicationIdentity{"/Applications/Kernel.app", "No process", {}}));
}

TEST(RunningApplicationIdentities, AnotherPlatformCanIdentifyApplicationsItsOwnWay) {
    const std::vector<PlatformRunningApplication> platform = {
        {false, Policy::regular, "/usr/share/applications/org.example.Viewer.desktop", std::nullopt,
         7},
    };
    const auto identities = runningApplicationIdentities(
        platform, [](std::string_view path) { return std::optional<std::string>(path); });
    ASSERT_EQ(identities.size(), 1u);
    EXPECT_EQ(identities[0].name, "org.example.Viewer");
}

// A small process tree: a terminal application with a shell and a tool under it, a background
// agent, and a process run by the system launcher.
class AttributeProcessesTest : public testing::Test {
  protected:
    void add(std::int32_t pid, std::int32_t parent, std::optional<std::string> path = {}) {
        metadata[pid] = {pid, parent, std::move(path)};
    }

    std::optional<std::string> attributed(std::int32_t pid) const {
        const auto found = result.find(pid);
        return found == result.end() ? std::nullopt : std::optional(found->second);
    }

    void attribute() { result = attributeProcesses(applications, metadata); }

    std::vector<RunningApplicationIdentity> applications = {
        {"/Applications/Terminal.app", "Terminal", {100}},
        {"/Applications/Editor.app", "Editor", {200}},
    };
    ProcessMetadataTable metadata;
    ProcessAttribution result;
};

TEST_F(AttributeProcessesTest, ThroughProcessIdsBundlePathsAndAncestors) {
    add(100, 1, "/Applications/Terminal.app/Contents/MacOS/Terminal");
    add(101, 100, "/bin/zsh");
    add(102, 101, "/usr/bin/make");
    add(103, 102, "/usr/bin/cc");
    add(210, 1, "/Applications/Editor.app/Contents/Frameworks/Renderer.app/Contents/MacOS/R");
    add(211, 210);  // no path: inherits from its parent's bundle
    add(300, 1, "/usr/libexec/agent");
    add(301, 300, "/usr/bin/helper");
    attribute();
    EXPECT_EQ(attributed(100), "/Applications/Terminal.app");
    EXPECT_EQ(attributed(103), "/Applications/Terminal.app");
    EXPECT_EQ(attributed(102), "/Applications/Terminal.app");
    EXPECT_EQ(attributed(200), "/Applications/Editor.app");  // not in metadata: still mapped
    EXPECT_EQ(attributed(210), "/Applications/Editor.app");
    EXPECT_EQ(attributed(211), "/Applications/Editor.app");
    EXPECT_EQ(attributed(300), std::nullopt);  // started by the launcher: never inherited
    EXPECT_EQ(attributed(301), std::nullopt);
    EXPECT_EQ(result.size(), 7u);
}

TEST_F(AttributeProcessesTest, OwnPathWinsOverAncestors) {
    add(100, 1);
    add(110, 100, "/Applications/Editor.app/Contents/MacOS/Editor");  // opened from Terminal
    add(111, 110);
    attribute();
    EXPECT_EQ(attributed(110), "/Applications/Editor.app");
    EXPECT_EQ(attributed(111), "/Applications/Editor.app");
}

TEST_F(AttributeProcessesTest, BundleOfNoRunningApplicationStaysUnmapped) {
    add(400, 1, "/Applications/Closed.app/Contents/MacOS/Closed");
    add(401, 400);
    attribute();
    EXPECT_EQ(attributed(400), std::nullopt);
    EXPECT_EQ(attributed(401), std::nullopt);
}

TEST_F(AttributeProcessesTest, LaterIdentityWinsASharedProcessId) {
    applications.push_back({"/Applications/Other.app", "Other", {100}});
    add(101, 100);
    attribute();
    EXPECT_EQ(attributed(100), "/Applications/Other.app");
    EXPECT_EQ(attributed(101), "/Applications/Other.app");
}

TEST_F(AttributeProcessesTest, CyclesEndTheWalkWithoutAttribution) {
    add(500, 500);  // its own parent
    add(510, 512);
    add(511, 510);
    add(512, 511);  // 510 -> 512 -> 511 -> 510
    add(520, 510);  // leads into the cycle
    add(530, 100);  // a good chain beside them
    attribute();
    for (const std::int32_t pid : {500, 510, 511, 512, 520}) {
        EXPECT_EQ(attributed(pid), std::nullopt) << pid;
    }
    EXPECT_EQ(attributed(530), "/Applications/Terminal.app");
}

TEST_F(AttributeProcessesTest, ParentOfAnotherUserEndsTheWalk) {
    add(600, 9999);  // 9999 is not in the user's table
    add(601, 600);
    add(602, 0);  // the full record could not be read
    add(603, -5);
    attribute();
    EXPECT_EQ(attributed(600), std::nullopt);
    EXPECT_EQ(attributed(601), std::nullopt);
    EXPECT_EQ(attributed(602), std::nullopt);
    EXPECT_EQ(attributed(603), std::nullopt);
}

TEST_F(AttributeProcessesTest, BackgroundOnlyApplicationProcessesFollowTheirParents) {
    // A background helper of the editor is no identity of its own, but was started by the editor.
    add(200, 1, "/Applications/Editor.app/Contents/MacOS/Editor");
    add(250, 200, "/Library/Helpers/Indexer.app/Contents/MacOS/Indexer");
    attribute();
    EXPECT_EQ(attributed(250), "/Applications/Editor.app");
}

TEST_F(AttributeProcessesTest, DeepChainsEndAtTheNearestPlacedAncestor) {
    // A long chain under the terminal, and a long chain that ends at a process of another user.
    for (std::int32_t pid = 1001; pid <= 3000; ++pid) add(pid, pid == 1001 ? 100 : pid - 1);
    for (std::int32_t pid = 4001; pid <= 6000; ++pid) add(pid, pid == 4001 ? 7777 : pid - 1);
    attribute();
    for (std::int32_t pid = 1001; pid <= 3000; ++pid) {
        ASSERT_EQ(attributed(pid), "/Applications/Terminal.app") << pid;
    }
    for (std::int32_t pid = 4001; pid <= 6000; ++pid) ASSERT_EQ(attributed(pid), std::nullopt);
}

// The ancestry stage walked literally, one process at a time with its own visited set.
ProcessAttribution walkEachProcess(const std::vector<RunningApplicationIdentity>& applications,
                                   const ProcessMetadataTable& metadata) {
    ProcessAttribution early;
    for (const auto& application : applications) {
        for (const std::int32_t pid : application.processIDs) early[pid] = application.id;
    }
    for (const auto& [pid, process] : metadata) {
        if (early.contains(pid) || !process.executablePath) continue;
        const auto bundle = applicationBundlePath(*process.executablePath);
        for (const auto& application : applications) {
            if (bundle == application.id) early.emplace(pid, application.id);
        }
    }
    ProcessAttribution result = early;
    for (const auto& [pid, process] : metadata) {
        if (early.contains(pid)) continue;
        std::set<std::int32_t> visited = {pid};
        std::int32_t p = process.parentPID;
        while (p > 1 && visited.insert(p).second) {
            if (const auto placed = early.find(p); placed != early.end()) {
                result.emplace(pid, placed->second);
                break;
            }
            const auto parent = metadata.find(p);
            if (parent == metadata.end()) break;
            p = parent->second.parentPID;
        }
    }
    return result;
}

TEST_F(AttributeProcessesTest, RememberedChainsGiveTheAnswersOfSeparateWalks) {
    std::uint32_t state = 12345;
    const auto next = [&state](std::uint32_t bound) {
        state = state * 1103515245u + 12345u;
        return static_cast<std::int32_t>((state >> 8) % bound);
    };
    for (int round = 0; round < 20; ++round) {
        metadata.clear();
        for (std::int32_t pid = 2; pid < 600; ++pid) {
            const std::int32_t roll = next(100);
            std::optional<std::string> path;
            if (roll < 3) path = "/Applications/Editor.app/Contents/MacOS/Editor";
            if (roll >= 3 && roll < 5) path = "/Applications/Closed.app/Contents/MacOS/Closed";
            // Parents anywhere in (and a little beyond) the table, cycles and self-loops included.
            add(pid, roll < 8 ? next(3) : next(700), path);
        }
        applications[0].processIDs = {next(600), next(600)};
        attribute();
        ASSERT_EQ(result, walkEachProcess(applications, metadata)) << "round " << round;
    }
}

}  // namespace
}  // namespace pylonix
