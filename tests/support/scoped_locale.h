// Sets LC_ALL for the life of the object, so a test can choose the language
// of the texts the runtime shows (the runtime reads the locale at each text).
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace qk_test {

class ScopedLocale {
public:
    explicit ScopedLocale(const char* locale)
    {
        if (const char* old = std::getenv("LC_ALL"))
            saved_ = old;
        ::setenv("LC_ALL", locale, 1);
    }
    ~ScopedLocale()
    {
        if (saved_)
            ::setenv("LC_ALL", saved_->c_str(), 1);
        else
            ::unsetenv("LC_ALL");
    }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

private:
    std::optional<std::string> saved_;
};

}  // namespace qk_test
