#pragma once

#include <functional>
#include <memory>
#include <set>
#include <string>

#include "apppower/application_power_model.h"
#include "apppower/application_power_reader.h"
#include "common/main_executor.h"
#include "common/serial_executor.h"

namespace pylonix {

// The reader's two operations as the sampling loop awaits them: each is started on the main
// thread and hands its result to `done` on the main thread. At most one is in flight at a time
// (the loop awaits each before it goes on).
class ApplicationPowerSampling {
  public:
    virtual ~ApplicationPowerSampling() = default;

    // One energy pass; `cachedIconIds` are the applications whose icons need no fetching.
    virtual void sampleEnergy(std::set<std::string> cachedIconIds,
                              std::function<void(EnergyPass)> done) = 0;
    virtual void samplePower(std::function<void(TimedPowerSample)> done) = 0;
};

// `ApplicationPowerReader` as an actor: its operations run one at a time, in the order they
// were asked for, on a serial executor (one worker thread of its own in the application), and
// their results come back to the main thread. Only the worker touches the reader (and what it
// keeps about processes between passes), so nothing but the arguments and the results crosses
// threads. `main` must outlive the actor; a
// result that arrives after the actor is gone is still handed to `done`, which must therefore
// hold only what it can safely use (the loop holds its monitor weakly).
class ApplicationPowerReaderActor final : public ApplicationPowerSampling {
  public:
    ApplicationPowerReaderActor(std::shared_ptr<ApplicationPowerReader> reader,
                                std::shared_ptr<SerialExecutor> serial, MainExecutor& main);

    void sampleEnergy(std::set<std::string> cachedIconIds,
                      std::function<void(EnergyPass)> done) override;
    void samplePower(std::function<void(TimedPowerSample)> done) override;

  private:
    std::shared_ptr<ApplicationPowerReader> reader_;
    std::shared_ptr<SerialExecutor> serial_;
    MainExecutor& main_;
};

}  // namespace pylonix
