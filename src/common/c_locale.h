#pragma once

#include <locale.h>

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
  CLocaleScope();
  ~CLocaleScope();
  CLocaleScope(const CLocaleScope&) = delete;
  CLocaleScope& operator=(const CLocaleScope&) = delete;

 private:
  locale_t previous_;
};

}  // namespace roombox
