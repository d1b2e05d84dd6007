#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace pylonix {

// A release version of dotted decimal numbers ("1.10.2"). Ordered number by number, so 1.10
// comes after 1.9; missing trailing numbers count as zero, so 1.2 equals 1.2.0.
class UpdateVersion {
  public:
    // nullopt unless the text is one or more decimal numbers joined by single dots, each
    // fitting 64 bits. Surrounding white space is ignored.
    static std::optional<UpdateVersion> parse(std::string_view text);

    const std::vector<std::uint64_t>& components() const { return components_; }

    friend std::strong_ordering operator<=>(const UpdateVersion& a, const UpdateVersion& b);
    friend bool operator==(const UpdateVersion& a, const UpdateVersion& b) {
        return (a <=> b) == 0;
    }

  private:
    explicit UpdateVersion(std::vector<std::uint64_t> components)
        : components_(std::move(components)) {}

    std::vector<std::uint64_t> components_;
};

}  // namespace pylonix
