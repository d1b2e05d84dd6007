#pragma once

#include <memory>
#include <optional>

#include "common/cancellation_token.h"
#include "common/main_executor.h"
#include "common/preferences_store.h"
#include "common/published.h"
#include "power/power_reading.h"
#include "power/refresh_interval.h"

namespace pylonix {

inline constexpr const char* kRefreshIntervalPreferenceKey = "refreshIntervalSeconds";

// Keeps the latest power snapshot current: one reading at creation, one on every `start()`
// or `refresh()`, and, once started, one every refresh interval from a loop on the main
// executor. The interval comes from the preferences and goes back there when it changes;
// a change restarts a running loop. Main-thread only. The executor and the preferences must
// outlive the monitor; destroying the monitor cancels its loop.
class PowerMonitor : public std::enable_shared_from_this<PowerMonitor> {
  public:
    // Reads the interval preference (nothing is written back) and takes the first reading.
    static std::shared_ptr<PowerMonitor> create(std::unique_ptr<const PowerReading> reader,
                                                PreferencesStore& preferences,
                                                MainExecutor& executor);
    ~PowerMonitor();
    PowerMonitor(const PowerMonitor&) = delete;
    PowerMonitor& operator=(const PowerMonitor&) = delete;

    // The latest reading; observers hear every assignment, also an unchanged one.
    const PowerSnapshot& snapshot() const { return snapshot_.get(); }
    [[nodiscard]] Subscription observeSnapshot(Published<PowerSnapshot>::Observer observer) {
        return snapshot_.observe(std::move(observer));
    }

    RefreshInterval refreshInterval() const { return refreshInterval_.get(); }
    [[nodiscard]] Subscription observeRefreshInterval(
        Published<RefreshInterval>::Observer observer) {
        return refreshInterval_.observe(std::move(observer));
    }
    // Publishes the new interval; then, if it differs from the old one, writes it to the
    // preferences and restarts a running loop (which reads at once).
    void setRefreshInterval(RefreshInterval interval);

    // Reads and publishes, then starts the loop; does nothing at all while a loop runs.
    void start();
    // Reads and publishes at once; the loop keeps its schedule.
    void refresh();

    bool isRunning() const { return refreshTask_.has_value(); }

  private:
    class CreationKey {
        friend class PowerMonitor;
        explicit CreationKey() = default;
    };

  public:
    // For `create` only: the key cannot be made outside this class.
    PowerMonitor(CreationKey, std::unique_ptr<const PowerReading> reader,
                 PreferencesStore& preferences, MainExecutor& executor);

  private:
    // One round of the loop: checks, sleeps one interval, checks again, reads, and schedules
    // the next round. Refers to the monitor only weakly while it sleeps.
    static void runRefreshRound(const std::weak_ptr<PowerMonitor>& weakMonitor,
                                const CancellationToken& token, MainExecutor& executor);

    Published<PowerSnapshot> snapshot_;
    Published<RefreshInterval> refreshInterval_;
    std::unique_ptr<const PowerReading> reader_;
    std::optional<CancellationSource> refreshTask_;
    PreferencesStore& preferences_;
    MainExecutor& executor_;
};

}  // namespace pylonix
