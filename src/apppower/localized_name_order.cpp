#include "apppower/localized_name_order.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <cstdlib>
#include <stdexcept>

namespace pylonix {

LocalizedNameOrder::LocalizedNameOrder(const char* localeName)
    : LocalizedNameOrder(icu::Locale(localeName)) {}

LocalizedNameOrder::LocalizedNameOrder(const icu::Locale& locale) {
    UErrorCode status = U_ZERO_ERROR;
    collator_.reset(icu::Collator::createInstance(locale, status));
    if (U_FAILURE(status) || !collator_) {
        status = U_ZERO_ERROR;
        collator_.reset(icu::Collator::createInstance(icu::Locale::getRoot(), status));
    }
    if (!collator_) throw std::runtime_error("no collation data available");
    // Secondary strength: base letters and accents count, letter case does not.
    collator_->setStrength(icu::Collator::SECONDARY);
    status = U_ZERO_ERROR;
    collator_->setAttribute(UCOL_NUMERIC_COLLATION, UCOL_ON, status);
}

LocalizedNameOrder::~LocalizedNameOrder() = default;
LocalizedNameOrder::LocalizedNameOrder(LocalizedNameOrder&&) noexcept = default;
LocalizedNameOrder& LocalizedNameOrder::operator=(LocalizedNameOrder&&) noexcept = default;

namespace {

// The locale whose collation the user chose, as the C library would pick it.
icu::Locale userCollationLocale() {
    for (const char* variable : {"LC_ALL", "LC_COLLATE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value == nullptr || *value == '\0') continue;
        const std::string_view name(value);
        if (name == "C" || name == "POSIX" || name.starts_with("C.")) break;
        // "zh_CN.UTF-8" and the like: the code set is not part of the locale.
        return icu::Locale::createCanonical(value);
    }
    return icu::Locale::getRoot();
}

}  // namespace

const LocalizedNameOrder& LocalizedNameOrder::forUserLocale() {
    static const LocalizedNameOrder order(userCollationLocale());
    return order;
}

std::string LocalizedNameOrder::sortKey(std::string_view name) const {
    const icu::UnicodeString text = icu::UnicodeString::fromUTF8(
        icu::StringPiece(name.data(), static_cast<std::int32_t>(name.size())));
    std::string key(64, '\0');
    auto* bytes = reinterpret_cast<std::uint8_t*>(key.data());
    std::int32_t length = collator_->getSortKey(text, bytes, static_cast<std::int32_t>(key.size()));
    if (static_cast<std::size_t>(length) > key.size()) {
        key.resize(static_cast<std::size_t>(length));
        bytes = reinterpret_cast<std::uint8_t*>(key.data());
        length = collator_->getSortKey(text, bytes, length);
    }
    // The key ends with a zero byte that plain comparison does not need.
    key.resize(length > 0 ? static_cast<std::size_t>(length - 1) : 0);
    return key;
}

}  // namespace pylonix
