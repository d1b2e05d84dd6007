#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "common/main_executor.h"
#include "common/published.h"
#include "common/serial_executor.h"
#include "services/login_item_service.h"

namespace pylonix {

// Keeps the program's login item in step with the login-item service and publishes whether
// it is on, whether it awaits the user's approval, and the text of the last failure. The
// status is never stored: every refresh reads it from the service. Main thread only.
//
// Given a worker, refreshes and switches call the service there (it may read and write files)
// and publish on the main thread once it answers, in the order they were asked for; the first
// reading, at creation, is made at once. Without one they run and publish in the call.
class LaunchAtLoginController {
  public:
    // Refreshes once. The service must outlive the controller.
    explicit LaunchAtLoginController(LoginItemService& service);
    // Refreshes once, in the call. The service must outlive the worker's jobs, and `main` the
    // controller.
    LaunchAtLoginController(LoginItemService& service, SerialExecutor& worker, MainExecutor& main);

    Published<bool> isEnabled{false};
    Published<bool> needsApproval{false};
    Published<std::optional<std::string>> errorMessage;

    // Re-reads the status; never touches errorMessage.
    void refresh();

    // Registers or unregisters whatever the current status is, publishes a failure's
    // description (clearing the previous one first), then the status read afterwards.
    void setEnabled(bool enabled);

  private:
    // What one call of the service found.
    struct Outcome {
        LoginItemStatus status = LoginItemStatus::notRegistered;
        bool switched = false;  // a register or unregister ran
        std::optional<std::string> failure;
    };

    void run(std::function<Outcome()> work);
    void publish(const Outcome& outcome);

    LoginItemService& service_;
    SerialExecutor* worker_ = nullptr;
    MainExecutor* main_ = nullptr;
    // Answers that arrive after the controller is gone are dropped.
    std::shared_ptr<LaunchAtLoginController*> self_ =
        std::make_shared<LaunchAtLoginController*>(this);
};

}  // namespace pylonix
