#pragma once

#include <memory>
#include <string>
#include <string_view>

#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class Collator;
class Locale;
U_NAMESPACE_END

namespace pylonix {

// The order a file browser gives names in a locale: letter case ignored, runs of digits
// compared by their numeric value ("Item 2" before "Item 10"), accents and scripts as the
// locale's collation orders them.
class LocalizedNameOrder {
public:
    // The order of the locale `localeName` ("zh_CN", "en_US", …; the root order when unknown).
    explicit LocalizedNameOrder(const char* localeName);
    ~LocalizedNameOrder();
    LocalizedNameOrder(LocalizedNameOrder&&) noexcept;
    LocalizedNameOrder& operator=(LocalizedNameOrder&&) noexcept;

    // The order of the user's locale (from the environment), made once.
    static const LocalizedNameOrder& forUserLocale();

    // Negative when `a` sorts first, positive when `b` does, 0 when they compare the same.
    int compare(std::string_view a, std::string_view b) const;

    // A byte string whose plain comparison gives the same order as `compare`.
    std::string sortKey(std::string_view name) const;

private:
    explicit LocalizedNameOrder(const icu::Locale& locale);

    std::unique_ptr<icu::Collator> collator_;
};

}  // namespace pylonix
