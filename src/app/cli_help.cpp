#include "app/cli_help.h"

#include "app/cli_command.h"
#include "app/cli_settings.h"
#include "common/messages.h"

#ifndef PQWAVE_VERSION
#define PQWAVE_VERSION "unknown"
#endif

namespace pqwave {
namespace {

constexpr std::size_t kNameColumn = 28;

// "  --interval MS              出力間隔 in ms", the help on the next line when the name is long.
std::string optionLine(const std::string& left, const std::string& help) {
    std::string line = "  " + left;
    if (line.size() + 2 > kNameColumn)
        line += "\n" + std::string(kNameColumn, ' ');
    else
        line += std::string(kNameColumn - line.size(), ' ');
    return line + help + "\n";
}

std::string optionsOf(const std::vector<OptionSpec>& options) {
    std::string text;
    for (const OptionSpec& o : options) {
        std::string left = o.shortName ? std::string(o.shortName) + ", " + o.name : std::string(o.name);
        if (o.argument) left += std::string(" ") + o.argument;
        text += optionLine(left, tr(o.help));
    }
    return text;
}

std::string aliasesOf(const std::vector<SettingAlias>& aliases) {
    std::string text;
    for (const SettingAlias& a : aliases) {
        std::string left = a.name;
        if (a.argument) left += std::string(" ") + a.argument;
        text += optionLine(left, tr(a.help));
        const std::string meaning = aliasMeaning(a);
        if (!meaning.empty()) text += std::string(kNameColumn, ' ') + "= " + meaning + "\n";
    }
    return text;
}

// The aliases' names, wrapped: the settings a command takes, described in `help settings`.
std::string aliasNames(const std::vector<SettingAlias>& aliases) {
    std::string text, line = " ";
    for (const SettingAlias& a : aliases) {
        if (line.size() + std::string_view(a.name).size() + 2 > 96) {
            text += line + "\n";
            line = " ";
        }
        line += std::string(" ") + a.name;
    }
    return text + line + "\n";
}

const char* const kSetHelp = N_("a control of the main window, as a user changes it (pqwave-cli help settings)");

// What holds for every command that clicks a file or lists a folder.
const char* const kModelNote =
    N_("The main window's model starts as the program starts; FILE's folder becomes the folder of the\n"
       "file list and FILE is clicked (its header is read), or FOLDER is listed. Then every setting is\n"
       "made in the order given, as a user makes it.\n");

}  // namespace

std::string versionLine(const char* program) {
    return std::string(program) + " " + PQWAVE_VERSION + "\n";
}

std::string programHelp() {
    std::string text =
        tr("usage: pqwave-cli COMMAND OPERAND... [OPTION]...\n"
           "       pqwave-cli help [COMMAND|settings]\n"
           "       pqwave-cli --version\n"
           "\n"
           "Converts and analyses HIOKI memory-recorder and logger recordings as the pqwave window does,\n"
           "without a window.\n"
           "\n"
           "Commands:\n");
    for (const CliCommand* c : cliCommands())
        text += optionLine(std::string(c->name) + " " + c->operands, tr(c->summary));
    text += "\n" + tr(kModelNote) +
            tr("A setting is --set NAME=VALUE of a control by its name in the main window, or a name a person\n"
               "can remember (--processing raw, --pt 60, ...) that makes the same --set: pqwave-cli help settings.\n"
               "\n"
               "Every file written is named on stderr unless -q is given; failures and warnings go to stderr,\n"
               "one line each naming the file. Ctrl-C, SIGTERM or SIGHUP stops a run: its unfinished output is\n"
               "removed and earlier files stay as they were; a second one ends the program at once. An output is\n"
               "never written over a recording; a link is written at its target, a FIFO or a device into.\n"
               "\n"
               "Exit status: 0 done; 1 a file could not be read or written, or a run failed; 2 usage error;\n"
               "3 the file is not recognised, the command is not available with these settings, or a setting\n"
               "names a control a user cannot reach; 130 stopped by Ctrl-C, 143 by SIGTERM, 129 by SIGHUP.\n");
    return text;
}

std::string commandHelp(const CliCommand& c) {
    const bool settings = c.mainWindowSettings || !c.aliases.empty();
    std::string text = tr("usage: pqwave-cli {0} {1} [OPTION]...\n", {c.name, c.operands}) + "\n" + tr(c.description);
    // The commands under this one (plot trend under plot), which have their own help.
    for (const CliCommand* other : cliCommands())
        if (std::string_view(other->name).starts_with(std::string(c.name) + " "))
            text += tr("See also pqwave-cli help {0}.\n", {other->name});
    text +=
        "\n" + tr("Options:\n") + optionsOf(c.options) +
        optionsOf({{"--quiet", "-q", nullptr, N_("name no file written")}, {"--help", "-h", nullptr, N_("this help")}});
    if (!settings) return text;
    text += "\n" + tr("Settings, made in the order given:\n");
    if (c.mainWindowSettings) text += optionLine("--set NAME=VALUE", tr(kSetHelp));
    text += aliasesOf(c.aliases);
    if (c.mainWindowSettings)
        text += tr("and the main window's settings by name (pqwave-cli help settings says what each sets):\n") +
                aliasNames(mainWindowAliases());
    return text;
}

std::string settingsHelp() {
    return tr("usage: pqwave-cli COMMAND OPERAND... [--set NAME=VALUE | ALIAS]...\n"
              "\n"
              "--set NAME=VALUE does what a user does to that control of the main window, with its event:\n"
              "  --set Text7(0)=60     a text box gets the text (and its change rule)\n"
              "  --set Check6=1        a check box gets the value (and its click rule)\n"
              "  --set Option2=1       an option group selects that index (and its click rule)\n"
              "  --set Combo1(0)=2     a combo box gets that list index (and its click rule)\n"
              "NAME is the control's name and index in the main window; pqwave-cli info FILE --all lists them\n"
              "with their values and states. A control a user cannot reach with the settings made so far\n"
              "(disabled, hidden, or in a frame that is) is refused, exit status 3: the moving FFT's\n"
              "check box needs --processing ch-fft first, 周波数 an interval of 20 ms.\n"
              "\n"
              "Each of these names makes the --set settings shown, in its place in the order:\n") +
           aliasesOf(mainWindowAliases());
}

}  // namespace pqwave
