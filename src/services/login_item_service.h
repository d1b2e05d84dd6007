#pragma once

#include <optional>
#include <string>

namespace pylonix {

// The status the login-item service reports for the program's own login item, with the
// service's own numbering.
enum class LoginItemStatus {
    notRegistered = 0,
    enabled = 1,
    requiresApproval = 2,
    notFound = 3,
};

const char* toString(LoginItemStatus status);

// The operating system's login-item service for the main application. Register and
// unregister report a failure as the system's own readable description; success is nullopt.
class LoginItemService {
  public:
    virtual ~LoginItemService() = default;

    virtual LoginItemStatus status() const = 0;
    virtual std::optional<std::string> registerItem() = 0;
    virtual std::optional<std::string> unregisterItem() = 0;
};

}  // namespace pylonix
