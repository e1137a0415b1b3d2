#pragma once
// The C library's locale changed for one test and put back as it was when the test ends.

#include <clocale>
#include <string>

namespace vorlisk::testing {

class ScopedLocale {
  public:
    explicit ScopedLocale(const std::string& locale)
        : saved_(std::setlocale(LC_ALL, nullptr)),
          installed_(std::setlocale(LC_ALL, locale.c_str()) != nullptr) {}
    ~ScopedLocale() { std::setlocale(LC_ALL, saved_.c_str()); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

    // False when the system lacks the locale; the locale is then unchanged.
    bool Installed() const { return installed_; }

  private:
    std::string saved_;
    bool installed_;
};

}  // namespace vorlisk::testing
