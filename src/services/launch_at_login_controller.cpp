#include "services/launch_at_login_controller.h"

#include <utility>

namespace pylonix {

LaunchAtLoginController::LaunchAtLoginController(LoginItemService& service) : service_(service) {
    refresh();
}

LaunchAtLoginController::LaunchAtLoginController(LoginItemService& service, SerialExecutor& worker,
                                                 MainExecutor& main)
    : service_(service) {
    refresh();  // start-up: at once
    worker_ = &worker;
    main_ = &main;
}

void LaunchAtLoginController::refresh() {
    run([&service = service_] { return Outcome{service.status(), false, std::nullopt}; });
}

void LaunchAtLoginController::setEnabled(bool enabled) {
    run([&service = service_, enabled] {
        Outcome outcome;
        outcome.switched = true;
        outcome.failure = enabled ? service.registerItem() : service.unregisterItem();
        outcome.status = service.status();
        return outcome;
    });
}

void LaunchAtLoginController::run(std::function<Outcome()> work) {
    if (worker_ == nullptr) {
        publish(work());
        return;
    }
    runSerially(*worker_, *main_, std::move(work),
                [self = std::weak_ptr<LaunchAtLoginController*>(self_)](const Outcome& outcome) {
                    if (const auto controller = self.lock()) (*controller)->publish(outcome);
                });
}

void LaunchAtLoginController::publish(const Outcome& outcome) {
    if (outcome.switched) {
        errorMessage.set(std::nullopt);
        if (outcome.failure) errorMessage.set(*outcome.failure);
    }
    isEnabled.set(outcome.status == LoginItemStatus::enabled);
    needsApproval.set(outcome.status == LoginItemStatus::requiresApproval);
}

}  // namespace pylonix
