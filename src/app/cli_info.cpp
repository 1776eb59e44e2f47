// `pqwave-cli info FILE`: what the recording is, readably, and what can be done with it with the
// settings given; `info FILE --all` the whole model, one NAME=VALUE line each, for scripts.
#include <algorithm>
#include <ostream>
#include <utility>
#include <vector>

#include "app/cli_command.h"
#include "app/cli_session.h"
#include "app/cli_settings.h"
#include "common/messages.h"
#include "common/text.h"
#include "common/textforms.h"
#include "control/model_text.h"

namespace pqwave {
namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;

// The values in one column, after the widest label as a terminal shows it (a Japanese label
// takes two columns a character).
std::string rowsText(const Rows& rows) {
    std::size_t column = 11;
    for (const auto& [label, value] : rows) column = std::max(column, displayColumns(label) + 2);
    std::string out;
    for (const auto& [label, value] : rows)
        out += "  " + label + std::string(column - displayColumns(label), ' ') + value + "\n";
    return out;
}

// The word --kind takes for the data kind selected now.
std::string kindWord(const Form1Model& form) {
    for (const SettingAlias& alias : mainWindowAliases()) {
        if (std::string_view(alias.name) != "--kind") continue;
        for (int k = 0; k < static_cast<int>(form.Option1.size()); ++k)
            if (isSelected(form.Option1[k])) return alias.choices[static_cast<std::size_t>(k)].word;
    }
    return {};
}

std::string selectedKind(const Form1Model& form) {
    for (const Control& option : form.Option1)
        if (isSelected(option)) return option.text + ", --kind " + kindWord(form);
    return {};
}

bool reachable(const Control& control) {
    return whyUnreachable(control).empty();
}

// The processings CSV変換 offers for this recording with these settings, by their aliases.
std::string processings(const Form1Model& form) {
    if (!form.Command1.enabled) return tr("not with these settings (CSV変換 is disabled)");
    const char* const words[] = {"rms", "raw", "vipq-fft", "ch-fft"};
    std::string choices;
    for (int k = 0; k < 4; ++k)
        if (reachable(form.Option2[k]) || (isSelected(form.Option2[k]) && !form.Frame2.enabled))
            choices += (choices.empty() ? "--processing " : "|") + std::string(words[k]);
    std::string list = choices;
    auto add = [&list](const std::string& word) { list += (list.empty() ? "" : ", ") + word; };
    if (reachable(form.Option2[3])) add("--moving-fft");
    if (reachable(form.Option2[0]) && form.Check13.enabled) add("--10ms");
    return list;
}

std::string otherCommands(const Form1Model& form) {
    const RecordingFacts& f = form.selectedRecording();
    std::string list;
    auto add = [&list](const std::string& word) { list += (list.empty() ? "" : ", ") + word; };
    if (form.Command2.enabled) add("plot wave");
    if (form.Command1.enabled && reachable(form.Option2[0])) add("plot vector");
    if (f.kind == RecordingKind::Waveform8840 || f.kind == RecordingKind::BlockWaveform) add("pq");
    add("export");
    if (reachable(form.Check11)) add("batch --time-of-day");
    return list;
}

std::string summaryOf(const Form1Model& form) {
    const RecordingFacts& f = form.selectedRecording();
    Rows rows;
    rows.emplace_back(tr("model"), f.model + " (" + selectedKind(form) + ")");
    rows.emplace_back(tr("start"), f.startDate + " " + f.startTime);
    if (f.kind == RecordingKind::Logger)
        rows.emplace_back(tr("interval"), tr("{0} between samples", {f.timeAxis}));
    else
        rows.emplace_back(tr("time/div"), tr("{0}, {1} samples per division", {f.timeAxis, form.T_Div.text}));
    rows.emplace_back(tr("sampling"), form.Label21.text + " Hz");
    const std::string samples = tr("{0} per channel", {formD(f.sampleCount)});
    rows.emplace_back(tr("samples"),
                      f.preTrigger == 0 ? samples : tr("{0}, pre-trigger {1} %", {samples, form.Label26.text}));
    rows.emplace_back(tr("duration"), form.LabSTim.text + " s");
    int recorded = 0;
    for (const RecordingChannel& c : f.channels) recorded += c.recorded;
    const std::string channels = std::to_string(recorded);
    rows.emplace_back(tr("channels"), f.rms() ? tr("{0}, each a maximum and a minimum series", {channels}) : channels);
    for (const RecordingChannel& c : f.channels)
        if (c.recorded) rows.emplace_back("  " + c.name.substr(0, c.name.find("ﾚﾝｼﾞ")), c.range);
    rows.emplace_back(tr("convert"), processings(form));
    rows.emplace_back(tr("also"), otherCommands(form));
    rows.emplace_back(tr("output"), form.Text5.text);
    return f.fileName + "\n" + rowsText(rows);
}

int runInfo(CommandRun& run) {
    CliSession session(run);
    if (int status = session.openFile(givenPath(run.operands[0]))) return status;
    if (int status = session.applyMainWindowSettings()) return status;
    run.out << (run.flag("--all") ? describeModel(session.form) : summaryOf(session.form));
    return session.status();
}

}  // namespace

const CliCommand& infoCommand() {
    static const CliCommand command{
        .name = "info",
        .operands = "FILE",
        .summary = N_("what FILE holds and what can be done with it; --all the whole model"),
        .description = N_("Prints what the header of FILE says (model, start, time axis, sampling, samples, duration,\n"
                          "channels with their ranges) and what can be done with it with the settings given: the\n"
                          "processings CSV変換 offers and the other commands. --all prints the main window's model\n"
                          "instead, one NAME=VALUE line each, UTF-8: every control's text, caption or value, its\n"
                          "NAME.Enabled=0|1 and NAME.Visible=0|1, then the module values (ChannelCount=4, ...).\n"),
        .options = {{"--all", nullptr, nullptr, N_("the whole model as NAME=VALUE lines")}},
        .run = runInfo,
    };
    return command;
}

}  // namespace pqwave
