// The message catalogue: the language the environment names, and a message in each language
// with its arguments where the translation puts them; real messages of several layers in
// Japanese, the report's refusals in either language, and pqwave-cli's help in Japanese when the
// locale asks for it.
#include "common/messages.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "app/cli.h"
#include "support/test_folder.h"

namespace pqwave {
namespace {

using testing::TestFolder;

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
    EXPECT_EQ(tr(""), "");  // never the catalogue's header
    useLanguage(Language::English, PQWAVE_PROGRAM_FOLDER);
    EXPECT_EQ(tr(cancel, {"A.MEM"}), "A.MEM: cancelled; the unfinished output was removed");
}

// Japanese for the life of the object, English again afterwards whatever the test found.
struct JapaneseMessages {
    JapaneseMessages() { useLanguage(Language::Japanese, PQWAVE_PROGRAM_FOLDER); }
    ~JapaneseMessages() { useLanguage(Language::English, PQWAVE_PROGRAM_FOLDER); }
};

std::string errorsOf(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    runCli(args, PQWAVE_PROGRAM_FOLDER, out, err);
    return err.str();
}

TEST(Messages, TheLayersSpeakJapaneseWithTheirArgumentsInPlace) {
    TestFolder folder;
    folder.write("A.MEM", {});
    const std::string wave = folder.file("A.MEM").string();
    gen::RecordingSpec logger;
    logger.layout = 20;
    folder.write("L.MEM", logger);
    std::vector<std::byte> cut = folder.readBytes("A.MEM");
    cut.resize(700);
    folder.writeBytes("CUT.MEM", cut);
    const std::string cutFile = folder.file("CUT.MEM").string();
    JapaneseMessages japanese;

    // The command line's own usage error, with the help to read.
    EXPECT_EQ(errorsOf({"convert", wave, "--procesing", "rms"}),
              "pqwave-cli: convert に --procesing というオプションはありません。--processing の間違いではありませんか\n"
              "使い方とオプションは 'pqwave-cli help convert' で確認してください。\n");
    // The header reader, on a recording cut to 700 bytes.
    const std::string header = errorsOf({"info", cutFile});
    EXPECT_TRUE(header.starts_with("pqwave-cli: " + cutFile + ": ヘッダでは 512 バイトのヘッダブロックが")) << header;
    EXPECT_TRUE(header.ends_with("ファイルは 700 バイトしかありません\n")) << header;
    // The interval analysis: 5 ms per division of 100 samples is a sample every 0.05 ms, so
    // 0.01 ms holds 0.2 of them.
    EXPECT_EQ(errorsOf({"convert", wave, "--interval", "0.01", "-o", folder.file("A.csv").string()}),
              "pqwave-cli: " + wave +
                  ": 出力間隔 0.01 ms に含まれるサンプルは 0.2 個で、1 個に足りません。出力間隔を 0.05 ms "
                  "以上にすれば処理できます\n");
    // The all-files run: a skipped logger recording, a file written and the tally.
    const std::string out = folder.file("out").string();
    const std::string batch = errorsOf({"batch", folder.path().string(), "--kind", "waveform", "-o", out});
    for (const std::string& line :
         {"pqwave-cli: 警告: " + folder.file("L.MEM").string() +
              ": ロガーの記録で、8808･35･41･80波形の記録ではありません。スキップしました\n",
          "pqwave-cli: " + out + "/06D13-45-30.csv を出力しました\n",
          "pqwave-cli: 3 個中 1 個のファイルを変換しました (スキップ 1 個、失敗 1 個)。出力先: " + out + "\n"})
        EXPECT_NE(batch.find(line), std::string::npos) << line << batch;
}

// The report's usage errors and a limit file's refusals, in English and then in Japanese.
TEST(Messages, TheReportRefusesInTheLanguageOfTheMessages) {
    TestFolder folder;
    folder.write("A.MEM", {});
    const std::string wave = folder.file("A.MEM").string();
    const std::string limits = folder.file("site.ini").string();
    std::ofstream(limits) << "name = a\n[unbalance]\nmax_percent = 2\nshare_percent = 120\n";
    const std::string missing = folder.file("none.ini").string();
    const auto firstLine = [](const std::string& text) { return text.substr(0, text.find('\n')); };

    EXPECT_EQ(firstLine(errorsOf({"report", wave, "--lang", "fr"})), "pqwave-cli: --lang needs ja or en, not \"fr\"");
    EXPECT_EQ(errorsOf({"report", wave, "--limits", limits}),
              "pqwave-cli: " + limits + ":4: share_percent = 120 is out of range (above 0 to 100)\n");
    JapaneseMessages japanese;
    EXPECT_EQ(firstLine(errorsOf({"report", wave, "--lang", "fr"})),
              "pqwave-cli: --lang には ja か en を指定してください (\"fr\" は使えません)");
    EXPECT_EQ(errorsOf({"report", wave, "--limits", limits}),
              "pqwave-cli: " + limits + ":4: share_percent = 120 は範囲外です (0 より大きく 100 以下)\n");
    EXPECT_EQ(errorsOf({"report", wave, "--limits", missing}),
              "pqwave-cli: " + missing +
                  ": その名前の限度値ファイルはありません (組み込みの限度値は en50160 で指定します)\n");
    EXPECT_EQ(firstLine(errorsOf({"plot", "trend", wave, "-o", folder.file("t.png").string()})),
              "pqwave-cli: plot trend には --quantity で U、f、u2、THD、Pst、P、Q、PF のいずれかを指定してください");
}

std::string helpInAJapaneseLocale(const std::string& arguments) {
    const std::string command =
        std::string("env -u LC_ALL -u LC_MESSAGES LANG=ja_JP.UTF-8 ") + PQWAVE_CLI_PROGRAM + " " + arguments;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        ADD_FAILURE() << "cannot run " << command;
        return {};
    }
    std::string help;
    char block[4096];
    for (std::size_t n; (n = std::fread(block, 1, sizeof block, pipe)) > 0;) help.append(block, n);
    EXPECT_EQ(::pclose(pipe), 0) << arguments;
    return help;
}

TEST(Messages, TheCommandLineHelpIsJapaneseInAJapaneseLocale) {
    const std::string help = helpInAJapaneseLocale("help convert");
    EXPECT_TRUE(help.starts_with("使い方: pqwave-cli convert FILE [OPTION]...\n")) << help;
    for (const char* japanese :
         {"オプション:\n", "出力する CSV (- で標準出力)", "このヘルプ", "設定 (指定した順に行います):"})
        EXPECT_NE(help.find(japanese), std::string::npos) << japanese;
    for (const char* english : {"usage:", "Options:", "this help"}) EXPECT_EQ(help.find(english), std::string::npos);

    const std::string report = helpInAJapaneseLocale("report --help");
    EXPECT_TRUE(report.starts_with("使い方: pqwave-cli report FILE|FOLDER [OPTION]...\n")) << report;
    for (const char* japanese : {"HTML ファイルを 1 つ", "判定に使う限度値", "出力の言語", "公称電圧 Udin"})
        EXPECT_NE(report.find(japanese), std::string::npos) << japanese;
    for (const char* english : {"usage:", "Measures", "the limit set", "the language"})
        EXPECT_EQ(report.find(english), std::string::npos) << english;
}

}  // namespace
}  // namespace pqwave
