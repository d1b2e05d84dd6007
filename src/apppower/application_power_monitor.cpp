#include "apppower/application_power_monitor.h"

#include <set>

#include "apppower/make_application_power_snapshot.h"
#include "apppower/power_balance.h"
#include "common/cancellable_sleep.h"

namespace pylonix {

std::shared_ptr<ApplicationPowerMonitor> ApplicationPowerMonitor::create(
    std::shared_ptr<ApplicationPowerSampling> reader, RunningApplicationSource& applications,
    MainExecutor& executor) {
    return std::make_shared<ApplicationPowerMonitor>(CreationKey{}, std::move(reader),
                                                     applications, executor);
}

ApplicationPowerMonitor::ApplicationPowerMonitor(CreationKey,
                                                 std::shared_ptr<ApplicationPowerSampling> reader,
                                                 RunningApplicationSource& applications,
                                                 MainExecutor& executor)
    : snapshot_(ApplicationPowerSnapshot::collecting()),
      reader_(std::move(reader)),
      applications_(applications),
      executor_(executor) {}

std::vector<RunningApplicationIdentity> ApplicationPowerMonitor::runningApplicationIdentities() {
    const std::vector<PlatformRunningApplication> running = applications_.runningApplications();
    const ApplicationIdRule idRule = [this](std::string_view path) {
        return applications_.applicationId(path);
    };
    std::vector<RunningApplicationIdentity> identities =
        pylonix::runningApplicationIdentities(running, idRule);

    // The same instances that yielded the identities, in the same order: the first one of an
    // id without a cached icon provides it.
    std::set<std::string> ids;
    for (const RunningApplicationIdentity& identity : identities) ids.insert(identity.id);
    for (const PlatformRunningApplication& application : running) {
        if (application.isTerminated || !application.bundlePath ||
            application.activationPolicy ==
                PlatformRunningApplication::ActivationPolicy::prohibited) {
            continue;
        }
        const std::optional<std::string> id = idRule(*application.bundlePath);
        if (!id || icons_.contains(*id)) continue;
        std::shared_ptr<const ApplicationIcon> icon = applications_.applicationIcon(application);
        icons_.emplace(*id, icon ? std::move(icon) : applications_.fileIcon(*id));
    }
    std::erase_if(icons_, [&ids](const auto& item) { return !ids.contains(item.first); });
    return identities;
}

void ApplicationPowerMonitor::run(CancellationToken token) {
    snapshot_.set(ApplicationPowerSnapshot::collecting());
    if (token.isCancelled()) return;
    auto run = std::make_shared<Run>();
    run->token = std::move(token);
    run->applications = runningApplicationIdentities();
    energyPass(weak_from_this(), std::move(run));
}

void ApplicationPowerMonitor::energyPass(const std::weak_ptr<ApplicationPowerMonitor>& weak,
                                         RunPointer run) {
    const auto self = weak.lock();
    if (!self) return;
    std::vector<RunningApplicationIdentity> applications = run->applications;
    self->reader_->sampleEnergy(std::move(applications),
                                [weak, run](ProcessEnergyReading reading) {
                                    const auto monitor = weak.lock();
                                    if (!monitor || run->token.isCancelled()) return;
                                    monitor->finishPass(*run, reading);
                                    run->samplesTaken = 0;
                                    powerSample(weak, run);
                                });
}

void ApplicationPowerMonitor::finishPass(Run& run, const ProcessEnergyReading& reading) {
    ApplicationPowerSnapshot snapshot =
        makeApplicationPowerSnapshot(reading, run.applications, run.baseline);
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
    afterInterval(weak, run, [weak, run](ApplicationPowerMonitor& monitor) {
        run->applications = monitor.runningApplicationIdentities();
        energyPass(weak, run);
    });
}

}  // namespace pylonix
