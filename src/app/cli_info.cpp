// `pqwave-cli info FILE`: what the recording is, readably, and what can be done with it with the
// settings given; `info FILE --all` the whole model, one NAME=VALUE line each, for scripts.
#include <ostream>

#include "app/cli_command.h"
#include "app/cli_session.h"
#include "app/cli_settings.h"
#include "common/textforms.h"
#include "control/model_text.h"

namespace pqwave {
namespace {

void row(std::string& out, const std::string& label, const std::string& value) {
    out += "  " + label + std::string(label.size() < 11 ? 11 - label.size() : 1, ' ') + value + "\n";
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
    if (!form.Command1.enabled) return "not with these settings (CSV変換 is disabled)";
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
    std::string out = f.fileName + "\n";
    row(out, "model", f.model + " (" + selectedKind(form) + ")");
    row(out, "start", f.startDate + " " + f.startTime);
    if (f.kind == RecordingKind::Logger)
        row(out, "interval", f.timeAxis + " between samples");
    else
        row(out, "time/div", f.timeAxis + ", " + form.T_Div.text + " samples per division");
    row(out, "sampling", form.Label21.text + " Hz");
    std::string samples = formD(f.sampleCount) + " per channel";
    if (f.preTrigger != 0) samples += ", pre-trigger " + form.Label26.text + " %";
    row(out, "samples", samples);
    row(out, "duration", form.LabSTim.text + " s");
    int recorded = 0;
    for (const RecordingChannel& c : f.channels) recorded += c.recorded;
    row(out, "channels", std::to_string(recorded) + (f.rms() ? ", each a maximum and a minimum series" : ""));
    for (const RecordingChannel& c : f.channels)
        if (c.recorded) row(out, "  " + c.name.substr(0, c.name.find("ﾚﾝｼﾞ")), c.range);
    row(out, "convert", processings(form));
    row(out, "also", otherCommands(form));
    row(out, "output", form.Text5.text);
    return out;
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
        .summary = "what FILE holds and what can be done with it; --all the whole model",
        .description =
            "Prints what the header of FILE says (model, start, time axis, sampling, samples, duration,\n"
            "channels with their ranges) and what can be done with it with the settings given: the\n"
            "processings CSV変換 offers and the other commands. --all prints the main window's model\n"
            "instead, one NAME=VALUE line each, UTF-8: every control's text, caption or value, its\n"
            "NAME.Enabled=0|1 and NAME.Visible=0|1, then the module values (ChannelCount=4, ...).\n",
        .options = {{"--all", nullptr, nullptr, "the whole model as NAME=VALUE lines"}},
        .run = runInfo,
    };
    return command;
}

}  // namespace pqwave
