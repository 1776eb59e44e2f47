// Every message the program writes has an English text, which is its key, and a Japanese one in
// the catalogue po/ja.po (GNU gettext, compiled at build time into the program's folder). The
// window speaks Japanese; the command line follows LC_ALL, LC_MESSAGES and LANG (Japanese for
// ja_*, English otherwise). Placeholders {0}, {1}, ... take the arguments, so a translation may
// put them in its own order.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

namespace pqwave {

enum class Language { English, Japanese };

// The language the environment asks for: the first of LC_ALL, LC_MESSAGES, LANG that is set.
Language languageOfEnvironment();

// Messages from now on in `language`; the catalogue lies in `programFolder`/locale. Called
// once at start-up, before any other thread runs.
void useLanguage(Language language, const std::filesystem::path& programFolder);
Language currentLanguage();

// The text of `english` in the current language, the arguments in place of {0}, {1}, ...
std::string tr(const char* english);
std::string tr(const char* english, std::initializer_list<std::string_view> arguments);

// `text` with the arguments in place of {0}, {1}, ... (a placeholder without an argument stays).
std::string withArguments(std::string_view text, std::initializer_list<std::string_view> arguments);

// Marks a text for the catalogue where it is translated later (a table of texts).
constexpr const char* N_(const char* english) {
    return english;
}

}  // namespace pqwave
