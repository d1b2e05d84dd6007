#include "apppower/application_power_sampling.h"

namespace pylonix {

ApplicationPowerReaderActor::ApplicationPowerReaderActor(
    std::shared_ptr<ApplicationPowerReader> reader, std::shared_ptr<SerialExecutor> serial,
    MainExecutor& main)
    : reader_(std::move(reader)), serial_(std::move(serial)), main_(main) {}

void ApplicationPowerReaderActor::sampleEnergy(std::set<std::string> cachedIconIds,
                                               std::function<void(EnergyPass)> done) {
    // The job keeps the reader alive, so that it can finish even when the actor goes first.
    runSerially(
        *serial_, main_,
        [reader = reader_, ids = std::move(cachedIconIds)] { return reader->sampleEnergy(ids); },
        std::move(done));
}

void ApplicationPowerReaderActor::samplePower(std::function<void(TimedPowerSample)> done) {
    runSerially(
        *serial_, main_, [reader = reader_] { return reader->samplePower(); }, std::move(done));
}

}  // namespace pylonix
