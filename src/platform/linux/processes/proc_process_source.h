#pragma once

#include <sys/types.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <unordered_map>

#include "apppower/process_source.h"
#include "platform/linux/files/outside_file.h"
#include "platform/linux/processes/energy_ledger.h"
#include "platform/linux/processes/rapl_energy_meter.h"

namespace pylonix::linux_platform {

// The user's processes from /proc (or a fixture tree laid out like it), one scan per pass, with
// CPU energy counters from the energy ledger (RAPL and /proc/stat; 0 where RAPL cannot be read).
//
// What does not change during a process's life is read once, when the pass first sees it: its
// owner, executable, systemd unit, launcher variables and, where the command-line rule asks for
// it, its command line. Later passes read only its stat file for the parent and the CPU time:
// kept open while the process runs and read again from its start (one call), for as many
// processes as a quarter of the descriptor limit allows, else opened, read and closed. A process is
// known by its id, start time and command name: another start time is another process, another name
// the same one after an exec, and either is looked at afresh. What is known of a process is
// forgotten once a pass no longer sees it.
//
// Not thread-safe: the sampler's worker is its only user.
class ProcProcessSource final : public ProcessSource {
  public:
    // Says whether the command line of a process running this executable is needed.
    using CommandLineRule = std::function<bool(const std::string& executablePath)>;

    explicit ProcProcessSource(std::filesystem::path procRoot = "/proc",
                               std::filesystem::path powercapRoot = "/sys/class/powercap",
                               uid_t uid = ::getuid(), std::int32_t ownPid = ::getpid());

    void setCommandLineRule(CommandLineRule rule) { commandLineRule_ = std::move(rule); }

    Pass readPass() override;
    std::uint64_t uptimeNanoseconds() const override;

    // Whether the last pass could read the processor's energy, and if not, why in words.
    bool energyReadable() const { return energyReadable_; }
    std::string energyUnavailableMessage() const override;
    // How many processes the source knows between passes.
    std::size_t knownProcessCount() const { return known_.size(); }

  private:
    struct Known {
        std::string name;
        std::uint64_t pass = 0;
        ProcessRecord lasting;  // the fields that last the process's life
        KeptOutsideFile statFile;
    };

    void readLasting(int procFd, const char* pidName, ProcessRecord& record) const;
    void forget(std::unordered_map<std::int32_t, Known>::iterator known);

    std::filesystem::path root_;
    uid_t uid_;
    std::int32_t ownPid_;
    CommandLineRule commandLineRule_;
    RaplEnergyMeter rapl_;
    EnergyLedger ledger_;
    std::unordered_map<std::int32_t, Known> known_;
    std::uint64_t pass_ = 0;
    std::size_t keptFiles_ = 0;
    std::size_t maxKeptFiles_ = 0;
    bool energyReadable_ = false;
};

}  // namespace pylonix::linux_platform
