#pragma once

#include <map>
#include <string>

#include "common/preferences_store.h"

namespace pylonix {

// Preferences that live as long as the object: for tests, and for tools that must never touch
// the user's settings. Counts writes so that callers can tell "nothing was written".
class InMemoryPreferencesStore final : public PreferencesStore {
  public:
    std::optional<double> readDouble(const std::string& key) const override {
        const auto found = values_.find(key);
        if (found == values_.end()) return std::nullopt;
        return found->second;
    }

    bool writeDouble(const std::string& key, double value) override {
        values_[key] = value;
        ++writeCount_;
        return true;
    }

    int writeCount() const { return writeCount_; }

  private:
    std::map<std::string, double> values_;
    int writeCount_ = 0;
};

}  // namespace pylonix
