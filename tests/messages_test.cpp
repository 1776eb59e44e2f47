// The message catalogue: the language the environment names, and a message in each language
// with its arguments where the translation puts them.
#include "common/messages.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace pqwave {
namespace {

TEST(Messages, TheEnvironmentNamesTheLanguageAndTheCatalogueGivesItsText) {
    ::unsetenv("LC_ALL");
    ::unsetenv("LC_MESSAGES");
    ::setenv("LANG", "ja_JP.UTF-8", 1);
    EXPECT_EQ(languageOfEnvironment(), Language::Japanese);
    ::setenv("LC_MESSAGES", "en_GB.UTF-8", 1);  // before LANG
    EXPECT_EQ(languageOfEnvironment(), Language::English);
    ::setenv("LC_ALL", "ja", 1);  // before both
    EXPECT_EQ(languageOfEnvironment(), Language::Japanese);
    ::setenv("LC_ALL", "jam_JM", 1);  // Jamaican, not Japanese
    EXPECT_EQ(languageOfEnvironment(), Language::English);
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) ::unsetenv(name);
    EXPECT_EQ(languageOfEnvironment(), Language::English);

    const char* cancel = "{0}: cancelled; the unfinished output was removed";
    EXPECT_EQ(tr(cancel, {"A.MEM"}), "A.MEM: cancelled; the unfinished output was removed");
    useLanguage(Language::Japanese, PQWAVE_PROGRAM_FOLDER);
    EXPECT_EQ(tr(cancel, {"A.MEM"}), "A.MEM: 中止しました。書きかけの出力は削除しました");
    EXPECT_EQ(tr("a text the catalogue lacks {0}", {"x"}), "a text the catalogue lacks x");
    useLanguage(Language::English, PQWAVE_PROGRAM_FOLDER);
    EXPECT_EQ(tr(cancel, {"A.MEM"}), "A.MEM: cancelled; the unfinished output was removed");
}

}  // namespace
}  // namespace pqwave
