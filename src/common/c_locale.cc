#include "common/c_locale.h"

#include <new>

namespace roombox {

namespace {

// The C locale as an object for uselocale, made once for the process and
// never changed or freed afterwards.
locale_t cLocale() {
  static const locale_t locale = [] {
    const locale_t made = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    if (made == static_cast<locale_t>(nullptr)) throw std::bad_alloc();
    return made;
  }();
  return locale;
}

}  // namespace

CLocaleScope::CLocaleScope() : previous_(uselocale(cLocale())) {}

CLocaleScope::~CLocaleScope() { uselocale(previous_); }

}  // namespace roombox
