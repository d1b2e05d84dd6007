#include "apppower/application_power_monitor.h"

#include <set>

#include "apppower/make_application_power_snapshot.h"
#include "apppower/power_balance.h"
#include "common/cancellable_sleep.h"

namespace pylonix {

std::shared_ptr<ApplicationPowerMonitor> ApplicationPowerMonitor::create(
    std::shared_ptr<ApplicationPowerSampling> reader, MainExecutor& executor) {
    return std::make_shared<ApplicationPowerMonitor>(CreationKey{}, std::move(reader), executor);
}

ApplicationPowerMonitor::ApplicationPowerMonitor(CreationKey,
                                                 std::shared_ptr<ApplicationPowerSampling> reader,
                                                 MainExecutor& executor)
    : snapshot_(ApplicationPowerSnapshot::collecting()),
      reader_(std::move(reader)),
      executor_(executor) {}

void ApplicationPowerMonitor::run(CancellationToken token) {
    snapshot_.set(ApplicationPowerSnapshot::collecting());
    if (token.isCancelled()) return;
    auto run = std::make_shared<Run>();
    run->token = std::move(token);
    energyPass(weak_from_this(), std::move(run));
}

void ApplicationPowerMonitor::energyPass(const std::weak_ptr<ApplicationPowerMonitor>& weak,
                                         RunPointer run) {
    const auto self = weak.lock();
    if (!self) return;
    std::set<std::string> cachedIconIds;
    for (const auto& item : self->icons_) cachedIconIds.insert(item.first);
    self->reader_->sampleEnergy(std::move(cachedIconIds), [weak, run](EnergyPass pass) {
        const auto monitor = weak.lock();
        if (!monitor || run->token.isCancelled()) return;
        monitor->finishPass(*run, std::move(pass));
        run->samplesTaken = 0;
        powerSample(weak, run);
    });
}

void ApplicationPowerMonitor::finishPass(Run& run, EnergyPass pass) {
    std::set<std::string> ids;
    for (const RunningApplicationIdentity& identity : pass.applications) ids.insert(identity.id);
    for (auto& [id, icon] : pass.newIcons) icons_.try_emplace(id, std::move(icon));
    std::erase_if(icons_, [&ids](const auto& item) { return !ids.contains(item.first); });

    const ProcessEnergyReading& reading = pass.reading;
    ApplicationPowerSnapshot snapshot =
        makeApplicationPowerSnapshot(reading, pass.applications, run.baseline);
    if (reading.powerSample) {
        run.samples.push_back(*reading.powerSample);
        snapshot.balance = makePowerBalance(run.samples, snapshot);
        run.samples = {*reading.powerSample};
    } else {
        run.samples.clear();
    }
    snapshot_.set(std::move(snapshot));
}

void ApplicationPowerMonitor::afterInterval(const std::weak_ptr<ApplicationPowerMonitor>& weak,
                                            const RunPointer& run,
                                            std::function<void(ApplicationPowerMonitor&)> next) {
    const auto self = weak.lock();
    if (!self) return;
    sleepFor(self->executor_, kPowerSampleInterval, run->token,
             [weak, run, next = std::move(next)] {
                 const auto monitor = weak.lock();
                 if (!monitor || run->token.isCancelled()) return;
                 next(*monitor);
             });
}

void ApplicationPowerMonitor::powerSample(const std::weak_ptr<ApplicationPowerMonitor>& weak,
                                          RunPointer run) {
    afterInterval(weak, run, [weak, run](ApplicationPowerMonitor& monitor) {
        monitor.reader_->samplePower([weak, run](TimedPowerSample sample) {
            if (run->token.isCancelled()) return;
            run->samples.push_back(std::move(sample));
            if (++run->samplesTaken < kPowerSamplesBetweenPasses) {
                powerSample(weak, run);
            } else {
                finalWait(weak, run);
            }
        });
    });
}

void ApplicationPowerMonitor::finalWait(const std::weak_ptr<ApplicationPowerMonitor>& weak,
                                        RunPointer run) {
    afterInterval(weak, run, [weak, run](ApplicationPowerMonitor&) { energyPass(weak, run); });
}

}  // namespace pylonix
