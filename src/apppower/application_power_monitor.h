#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "apppower/application_power_model.h"
#include "apppower/application_power_sampling.h"
#include "common/cancellation_token.h"
#include "common/main_executor.h"
#include "common/published.h"

namespace pylonix {

// Everything the panel shows about application power: the latest snapshot with its balance,
// and the icons of the running applications. It samples only while a `run` is going: one
// energy pass, then three whole-machine power samples 0.5 s apart and 0.5 s more, over and
// over, so that each pass's balance integrates the whole-machine power over exactly the
// window of its energy figures. Main-thread only; the reader's operations (the process table,
// the running applications and their icons included) run on its own executor. The executor
// must outlive the monitor.
class ApplicationPowerMonitor : public std::enable_shared_from_this<ApplicationPowerMonitor> {
  public:
    using IconCache = std::map<std::string, std::shared_ptr<const ApplicationIcon>>;

    static constexpr std::chrono::milliseconds kPowerSampleInterval{500};
    static constexpr int kPowerSamplesBetweenPasses = 3;

    static std::shared_ptr<ApplicationPowerMonitor> create(
        std::shared_ptr<ApplicationPowerSampling> reader, MainExecutor& executor);
    ApplicationPowerMonitor(const ApplicationPowerMonitor&) = delete;
    ApplicationPowerMonitor& operator=(const ApplicationPowerMonitor&) = delete;

    // The latest result; observers hear every assignment.
    const ApplicationPowerSnapshot& snapshot() const { return snapshot_.get(); }
    [[nodiscard]] Subscription observeSnapshot(
        Published<ApplicationPowerSnapshot>::Observer observer) {
        return snapshot_.observe(std::move(observer));
    }

    // Icons by application id. They change only right before a snapshot is published.
    const IconCache& icons() const { return icons_; }

    // Publishes the collecting snapshot and starts sampling; sampling ends, publishing nothing
    // more, once `token` is cancelled. The caller runs at most one at a time.
    void run(CancellationToken token);

  private:
    class CreationKey {
        friend class ApplicationPowerMonitor;
        explicit CreationKey() = default;
    };

  public:
    ApplicationPowerMonitor(CreationKey, std::shared_ptr<ApplicationPowerSampling> reader,
                            MainExecutor& executor);

  private:
    // What one `run` carries from step to step; dropped when the run ends.
    struct Run {
        CancellationToken token;
        EnergyBaseline baseline;
        std::vector<TimedPowerSample> samples;
        int samplesTaken = 0;  // power samples since the last energy pass
    };
    using RunPointer = std::shared_ptr<Run>;

    static void energyPass(const std::weak_ptr<ApplicationPowerMonitor>& weak, RunPointer run);
    // Keeps the icons of the pass's new applications and drops those of applications that are
    // gone, then publishes the pass's snapshot.
    void finishPass(Run& run, EnergyPass pass);
    // Waits 0.5 s, then goes on with `next` unless the run was cancelled or the monitor is gone.
    static void afterInterval(const std::weak_ptr<ApplicationPowerMonitor>& weak,
                              const RunPointer& run,
                              std::function<void(ApplicationPowerMonitor&)> next);
    static void powerSample(const std::weak_ptr<ApplicationPowerMonitor>& weak, RunPointer run);
    static void finalWait(const std::weak_ptr<ApplicationPowerMonitor>& weak, RunPointer run);

    Published<ApplicationPowerSnapshot> snapshot_;
    IconCache icons_;
    std::shared_ptr<ApplicationPowerSampling> reader_;
    MainExecutor& executor_;
};

}  // namespace pylonix
