#pragma once

#include <optional>
#include <string>

#include "common/published.h"
#include "services/login_item_service.h"

namespace pylonix {

// Keeps the program's login item in step with the login-item service and publishes whether
// it is on, whether it awaits the user's approval, and the text of the last failure. The
// status is never stored: every refresh reads it from the service. Main thread only.
class LaunchAtLoginController {
public:
    // Refreshes once. The service must outlive the controller.
    explicit LaunchAtLoginController(LoginItemService& service);

    Published<bool> isEnabled{false};
    Published<bool> needsApproval{false};
    Published<std::optional<std::string>> errorMessage;

    // Re-reads the status; never touches errorMessage.
    void refresh();

    // Registers or unregisters whatever the current status is, publishes a failure's
    // description (clearing the previous one first), then refreshes.
    void setEnabled(bool enabled);

private:
    LoginItemService& service_;
};

}  // namespace pylonix
