#include "services/launch_at_login_controller.h"

namespace pylonix {

LaunchAtLoginController::LaunchAtLoginController(LoginItemService& service) : service_(service) {
    refresh();
}

void LaunchAtLoginController::refresh() {
    const LoginItemStatus status = service_.status();
    isEnabled.set(status == LoginItemStatus::enabled);
    needsApproval.set(status == LoginItemStatus::requiresApproval);
}

void LaunchAtLoginController::setEnabled(bool enabled) {
    errorMessage.set(std::nullopt);
    const std::optional<std::string> failure =
        enabled ? service_.registerItem() : service_.unregisterItem();
    if (failure) errorMessage.set(*failure);
    refresh();
}

}  // namespace pylonix
