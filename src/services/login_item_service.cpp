#include "services/login_item_service.h"

namespace pylonix {

const char* toString(LoginItemStatus status) {
    switch (status) {
        case LoginItemStatus::notRegistered:
            return "notRegistered";
        case LoginItemStatus::enabled:
            return "enabled";
        case LoginItemStatus::requiresApproval:
            return "requiresApproval";
        case LoginItemStatus::notFound:
            return "notFound";
    }
    return "notFound";
}

}  // namespace pylonix
