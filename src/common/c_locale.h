#pragma once

#include <locale.h>

#include <new>

namespace roombox {

// Makes the calling thread format and parse numbers in the C locale for as
// long as the scope lives, whatever locale the process has chosen
// (setlocale) or the thread has (uselocale): printf's "%f" writes a decimal
// point and strtof reads one, as every roombox file needs. Only the calling
// thread is affected; the thread's previous locale is restored on leaving,
// also when an exception passes. Throws std::bad_alloc when the C locale
// object cannot be made.
class CLocaleScope {
 public:
  CLocaleScope() : previous_(uselocale(cLocale())) {}
  ~CLocaleScope() { uselocale(previous_); }
  CLocaleScope(const CLocaleScope&) = delete;
  CLocaleScope& operator=(const CLocaleScope&) = delete;

 private:
  // The C locale as an object for uselocale, made once for the process and
  // never changed or freed afterwards.
  static locale_t cLocale() {
    static const locale_t locale = [] {
      const locale_t made = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
      if (made == static_cast<locale_t>(nullptr)) throw std::bad_alloc();
      return made;
    }();
    return locale;
  }

  locale_t previous_;
};

}  // namespace roombox
