// Every word the report and its pictures show, in one table: the English text is the key and
// the Japanese beside it, so that the texts move into the message catalogue as they stand. The
// report is Japanese unless English is asked for (or the locale is not Japanese).
#pragma once

#include <set>
#include <string>

#include "common/messages.h"

namespace pqwave {

// The text of `english` in `language`, {0}, {1}, ... replaced by the arguments.
std::string reportText(Language language, const char* english);
std::string reportText(Language language, const char* english, std::initializer_list<std::string_view> arguments);

// Keys asked for in Japanese that the table lacks (shown in English meanwhile), for the tests.
std::set<std::string> untranslatedReportTexts();

// --lang ja|en, or else the environment: a locale variable naming a language decides (ja_* is
// Japanese); none, or C/POSIX, leaves the report Japanese.
Language reportLanguageOfEnvironment();

}  // namespace pqwave
