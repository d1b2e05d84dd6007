#pragma once

#include <unicode/uversion.h>

#include <memory>
#include <string>
#include <string_view>

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

    // The order of the user's collation locale (LC_ALL, else LC_COLLATE, else LANG; the root
    // order for C and POSIX), made once.
    static const LocalizedNameOrder& forUserLocale();

    // A byte string whose plain comparison orders names: names that compare the same (say, that
    // differ only in letter case) have equal keys.
    std::string sortKey(std::string_view name) const;

  private:
    explicit LocalizedNameOrder(const icu::Locale& locale);

    std::unique_ptr<icu::Collator> collator_;
};

}  // namespace pylonix
