#include "common/messages.h"

#include <libintl.h>

#include <atomic>
#include <clocale>
#include <cstdlib>

namespace pqwave {
namespace {

constexpr const char* kDomain = "pqwave";
std::atomic<Language> language{Language::English};

bool isJapanese(const char* value) {
    return value && value[0] == 'j' && value[1] == 'a' && (value[2] == '\0' || value[2] == '_' || value[2] == '.');
}

}  // namespace

std::string withArguments(std::string_view text, std::initializer_list<std::string_view> arguments) {
    std::string out;
    out.reserve(text.size() + 64);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '{' && i + 2 < text.size() && text[i + 2] == '}' && text[i + 1] >= '0' && text[i + 1] <= '9') {
            const std::size_t k = static_cast<std::size_t>(text[i + 1] - '0');
            if (k < arguments.size()) {
                out += *(arguments.begin() + k);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

Language languageOfEnvironment() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) return isJapanese(value) ? Language::Japanese : Language::English;
    }
    return Language::English;
}

void useLanguage(Language chosen, const std::filesystem::path& programFolder) {
    language = chosen;
    if (chosen != Language::Japanese) return;
    // gettext reads LANGUAGE only when the messages' locale is not plain "C"; C.UTF-8 is always
    // there, so no Japanese locale has to be installed for the catalogue to be used.
    std::setlocale(LC_MESSAGES, "C.UTF-8");
    // The system's own texts (strerror) come in Japanese then too, and must stay UTF-8.
    std::setlocale(LC_CTYPE, "C.UTF-8");
    ::setenv("LANGUAGE", "ja", 1);
    ::bindtextdomain(kDomain, (programFolder / "locale").c_str());
    ::bind_textdomain_codeset(kDomain, "UTF-8");
}

Language currentLanguage() {
    return language;
}

std::string tr(const char* english) {
    // An empty text would give the catalogue's header.
    if (language == Language::English || !*english) return english;
    return ::dgettext(kDomain, english);
}

std::string tr(const char* english, std::initializer_list<std::string_view> arguments) {
    const char* text = language == Language::English || !*english ? english : ::dgettext(kDomain, english);
    return withArguments(text, arguments);
}

}  // namespace pqwave
