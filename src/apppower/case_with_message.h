#pragma once

#include <optional>
#include <string>
#include <utility>

namespace pylonix {

// A state that is one of the cases of `Case`, some of which carry a message: the records'
// `State` types build on it. Two states are equal when their cases and messages are.
template <typename Case>
class CaseWithMessage {
  public:
    Case kind() const { return kind_; }
    // Present exactly for the cases that carry a message.
    const std::optional<std::string>& message() const { return message_; }

    bool operator==(const CaseWithMessage&) const = default;

  protected:
    CaseWithMessage(Case kind, std::optional<std::string> message)
        : kind_(kind), message_(std::move(message)) {}

  private:
    Case kind_;
    std::optional<std::string> message_;
};

}  // namespace pylonix
