#pragma once

#include <optional>
#include <string>

namespace pylonix {

// The user's preferences: numbers stored under keys, kept across launches.
class PreferencesStore {
  public:
    virtual ~PreferencesStore() = default;

    // The number stored under `key`; none when nothing is stored or the stored value is not a
    // number.
    virtual std::optional<double> readDouble(const std::string& key) const = 0;

    // Stores `value` under `key`; false when the store could not keep it (the value is then
    // not stored for later launches).
    virtual bool writeDouble(const std::string& key, double value) = 0;
};

}  // namespace pylonix
