// The language of the texts the program shows: Japanese when the user's
// locale says so, English otherwise. The locale is the first non-empty of
// LC_ALL, LC_MESSAGES and LANG, as the C library orders them; its language
// is the part before "_", "." or "@" ("ja_JP.UTF-8" -> "ja").
#pragma once

#include <cstdlib>
#include <string_view>

namespace rt {

enum class Language { Japanese, English };

inline Language language_of_locale(std::string_view locale) noexcept
{
    const std::string_view language = locale.substr(0, locale.find_first_of("_.@"));
    return language == "ja" ? Language::Japanese : Language::English;
}

// Read from the environment at each call, so a test can switch it.
inline Language user_language() noexcept
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (const char* value = std::getenv(name); value && *value)
            return language_of_locale(value);
    return Language::English;
}

}  // namespace rt
