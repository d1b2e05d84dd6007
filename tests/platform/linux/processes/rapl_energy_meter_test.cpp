#include "platform/linux/processes/rapl_energy_meter.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "run_unprivileged.h"

namespace pylonix::linux_platform {
namespace {

namespace fs = std::filesystem;

// A powercap class directory built for one test, removed afterwards.
class PowercapTree {
  public:
    PowercapTree()
        : root_(fs::temp_directory_path() / ("pylonix_powercap_" + std::to_string(::getpid()))) {
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    ~PowercapTree() { fs::remove_all(root_); }

    void zone(const std::string& dir, const std::string& name, std::uint64_t energy,
              std::uint64_t range) {
        fs::create_directories(root_ / dir);
        write(dir + "/name", name);
        setEnergy(dir, energy);
        write(dir + "/max_energy_range_uj", std::to_string(range));
    }
    void setEnergy(const std::string& dir, std::uint64_t energy) {
        write(dir + "/energy_uj", std::to_string(energy));
    }
    void write(const std::string& file, const std::string& text) {
        std::ofstream(root_ / file) << text << "\n";
    }
    const fs::path& root() const { return root_; }

  private:
    fs::path root_;
};

TEST(RaplEnergyMeterTest, CountsEachPackagesCoresOrElseThePackageAndNothingElse) {
    PowercapTree tree;
    tree.zone("intel-rapl:0", "package-0", 1000, 262143328850);
    tree.zone("intel-rapl:0:0", "core", 500, 262143328850);
    tree.zone("intel-rapl:0:1", "uncore", 100, 262143328850);
    tree.zone("intel-rapl:1", "package-1", 2000, 262143328850);  // no cores subzone
    tree.zone("intel-rapl:2", "psys", 9000, 262143328850);
    tree.zone("intel-rapl-mmio:0", "package-0", 1000, 262143328850);
    RaplEnergyMeter meter(tree.root());
    ASSERT_EQ(meter.energyFiles(), (std::vector<fs::path>{tree.root() / "intel-rapl:0:0/energy_uj",
                                                          tree.root() / "intel-rapl:1/energy_uj"}));
    EXPECT_EQ(meter.readNanojoules(), 0u);
    tree.setEnergy("intel-rapl:0:0", 1500);  // +1000 µJ
    tree.setEnergy("intel-rapl:1", 2500);    // +500 µJ
    tree.setEnergy("intel-rapl:0", 99999);   // the package is not counted where cores are
    EXPECT_EQ(meter.readNanojoules(), 1'500'000u);
}

TEST(RaplEnergyMeterTest, WrapsAroundAtTheRangeAndNeverGoesBack) {
    PowercapTree tree;
    tree.zone("intel-rapl:0", "package-0", 65000, 65536);
    RaplEnergyMeter meter(tree.root());
    EXPECT_EQ(meter.readNanojoules(), 0u);
    tree.setEnergy("intel-rapl:0", 464);  // wrapped: 536 to the top, then 464
    EXPECT_EQ(meter.readNanojoules(), 1'000'000u);
    tree.setEnergy("intel-rapl:0", 464);
    EXPECT_EQ(meter.readNanojoules(), 1'000'000u);
}

TEST(RaplEnergyMeterTest, NothingWithoutZonesOrWhenACounterCannotBeRead) {
    PowercapTree empty;
    EXPECT_FALSE(RaplEnergyMeter(empty.root()).readNanojoules());
    EXPECT_FALSE(RaplEnergyMeter("/nonexistent/powercap").readNanojoules());

    PowercapTree tree;
    tree.zone("intel-rapl:0", "package-0", 100, 1000000);
    RaplEnergyMeter meter(tree.root());
    EXPECT_EQ(meter.readNanojoules(), 0u);
    tree.write("intel-rapl:0/energy_uj", "garbage");
    EXPECT_FALSE(meter.readNanojoules());
    // Readable again: the unreadable stretch adds nothing, counting goes on from there.
    tree.setEnergy("intel-rapl:0", 900);
    EXPECT_EQ(meter.readNanojoules(), 0u);
    tree.setEnergy("intel-rapl:0", 1000);
    EXPECT_EQ(meter.readNanojoules(), 100'000u);
}

// Why a read gave nothing: no zone, a counter that is missing or garbage, or one closed to this
// user (root-only, as the kernel ships it since 5.10; tested as the user nobody when root).
TEST(RaplEnergyMeterTest, TellsAClosedCounterFromNone) {
    PowercapTree empty;
    RaplEnergyMeter none(empty.root());
    EXPECT_FALSE(none.readNanojoules());
    EXPECT_EQ(none.access(), RaplEnergyMeter::Access::noCounter);

    PowercapTree tree;
    tree.zone("intel-rapl:0", "package-0", 100, 1000000);
    RaplEnergyMeter meter(tree.root());
    EXPECT_TRUE(meter.readNanojoules());
    EXPECT_EQ(meter.access(), RaplEnergyMeter::Access::readable);
    tree.write("intel-rapl:0/energy_uj", "garbage");
    EXPECT_FALSE(meter.readNanojoules());
    EXPECT_EQ(meter.access(), RaplEnergyMeter::Access::noCounter);

    tree.setEnergy("intel-rapl:0", 200);
    ASSERT_EQ(::chmod((tree.root() / "intel-rapl:0/energy_uj").c_str(), 0000), 0);
    const std::string outcome = runUnprivileged([&] {
        RaplEnergyMeter closed(tree.root());
        const bool read = closed.readNanojoules().has_value();
        return std::string(read ? "read" : "nothing") + "|" +
               (closed.access() == RaplEnergyMeter::Access::notPermitted ? "notPermitted"
                                                                         : "other");
    });
    EXPECT_EQ(outcome, "nothing|notPermitted");
}

}  // namespace
}  // namespace pylonix::linux_platform
