// `pqwave-cli plot wave|vector FILE`: what the waveform ("波形表示") or vector ("ﾍﾞｸﾄﾙ表示") window
// shows on FILE, painted into a PNG with the windows' own model and painter, without a display.
#include <cmath>
#include <memory>
#include <ostream>

#include "app/cli.h"
#include "app/cli_command.h"
#include "app/cli_session.h"
#include "app/cli_settings.h"
#include "app/plot_image.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/textforms.h"
#include "display/picture.h"
#include "display/vector_model.h"
#include "display/waveform_model.h"
#include "input/output_target.h"

namespace pqwave {
namespace {

namespace fs = std::filesystem;

struct PlotChoices {
    bool wave = true;
    std::optional<std::vector<int>> traces;
    std::optional<double> atSeconds;
    int width = 0, height = 0;
};

std::optional<double> numberText(const std::string& text, bool integer) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value)) return std::nullopt;
    if (integer && value != std::floor(value)) return std::nullopt;
    return value;
}

// The plot's own options; nothing, with `problem` saying why, when one is wrong.
std::optional<PlotChoices> choicesOf(const CommandRun& run, std::string& problem) {
    PlotChoices p;
    const std::string& window = run.operands[0];
    if (window != "wave" && window != "vector") {
        problem = tr("plot needs wave or vector, then FILE, not \"{0}\"", {window});
        return std::nullopt;
    }
    p.wave = window == "wave";
    if (!run.option("--output")) {
        problem = tr("plot needs -o OUT.png");
        return std::nullopt;
    }
    if (const auto at = run.option("--at")) {
        p.atSeconds = numberText(*at, false);
        if (!p.atSeconds || *p.atSeconds < 0) {
            problem = tr("--at needs a number of seconds from 0 on, not \"{0}\"", {*at});
            return std::nullopt;
        }
    }
    if (const auto size = run.option("--size")) {
        const std::size_t x = size->find('x');
        auto w = x == std::string::npos ? std::nullopt : numberText(size->substr(0, x), true);
        auto h = x == std::string::npos ? std::nullopt : numberText(size->substr(x + 1), true);
        if (!w || !h || *w < 1 || *h < 1 || *w > 16384 || *h > 16384) {
            problem = tr("--size needs WIDTHxHEIGHT in pixels (1..16384), not \"{0}\"", {*size});
            return std::nullopt;
        }
        p.width = static_cast<int>(*w);
        p.height = static_cast<int>(*h);
    }
    if (const auto traces = run.option("--traces")) {
        if (!p.wave) {
            problem = tr("--traces belongs to plot wave");
            return std::nullopt;
        }
        std::vector<int> boxes;
        for (std::size_t start = 0; start <= traces->size();) {
            const std::size_t comma = std::min(traces->find(',', start), traces->size());
            auto n = numberText(traces->substr(start, comma - start), true);
            if (!n || *n < 1 || *n > kWaveTraces) {
                problem = tr("--traces needs check box numbers 1..{0} separated by commas, not \"{1}\"",
                             {std::to_string(kWaveTraces), *traces});
                return std::nullopt;
            }
            boxes.push_back(static_cast<int>(*n));
            start = comma + 1;
        }
        p.traces = boxes;
    }
    return p;
}

// Seconds as a scroll position of the window, when the bar can show it.
std::optional<int> scrollPositionAt(const ScrollBar& bar, double seconds, double stepsPerSecond, std::string& problem) {
    const double position = roundHalfEven(seconds * stepsPerSecond);
    const int last = bar.enabled ? std::max(bar.max, 0) : 0;
    if (position > last) {
        problem = tr("--at {0}: the window scrolls from 0 to {1} seconds on this recording",
                     {formD(seconds), formD(last / stepsPerSecond)});
        return std::nullopt;
    }
    return static_cast<int>(position);
}

bool belongsTo(const LineSetting& s, const char* prefix) {
    return s.name.starts_with(prefix);
}

// The settings of the main window, and those of the window plotted ("Form2." the waveform
// window's, "Form02." the vector window's); a setting of the other window is a usage error.
struct SplitSettings {
    std::vector<LineSetting> main, window;
};

std::optional<SplitSettings> splitSettings(const CommandRun& run, bool wave, std::string& problem) {
    SplitSettings split;
    const char* own = wave ? "Form2." : "Form02.";
    const char* other = wave ? "Form02." : "Form2.";
    for (const LineSetting& s : run.settings) {
        if (belongsTo(s, other)) {
            problem = tr("{0}: that control belongs to the other window", {s.given});
            return std::nullopt;
        }
        (belongsTo(s, own) ? split.window : split.main).push_back(s);
    }
    return split;
}

struct Painted {
    const Picture* picture = nullptr;
    int width = 0, height = 0;
    int status = kExitDone;
};

Painted paintWaveform(Form2Model& w, const Form1Model& form, const PlotChoices& p, const SplitSettings& settings,
                      const CommandRun& run, const std::string& file) {
    w.openFromMainWindow();
    for (int k = 0; k < 8 && !p.traces; ++k)
        if (w.Check1[k].enabled && k < form.ChannelCount()) setValue(w.Check1[k], 1);
    for (int n : p.traces.value_or(std::vector<int>{})) {
        Control& box = w.Check1[n - 1];
        if (!box.enabled)
            return {.status = run.fail(kExitUnavailable, tr("{0}: --traces {1}: {2} is not recorded",
                                                            {file, std::to_string(n), box.text}))};
        setValue(box, 1);
    }
    if (int status = applySettings(w.controls(), settings.window, run, tr("the waveform window"), "Form2."))
        return {.status = status};
    Painted painted{nullptr, p.width, p.height};
    if (painted.width == 0) {
        painted.width = static_cast<int>((Form2Model::kDefaultInnerWidth - 1535) / 15);
        painted.height = static_cast<int>((Form2Model::kDefaultInnerHeight - 600) / 15);
    }
    w.Form_Resize(painted.width * 15.0 + 1535, painted.height * 15.0 + 600);
    if (p.atSeconds) {
        std::string problem;
        auto position = scrollPositionAt(w.HScroll1, *p.atSeconds, 50, problem);
        if (!position) return {.status = run.usageError(file + ": " + problem)};
        setScrollValue(w.HScroll1, *position);
    }
    click(w.Command3);  // "表示"
    painted.picture = &w.picture();
    return painted;
}

// `printed` receives the picture with the window's value texts beneath it.
Painted paintVector(Form02Model& v, const PlotChoices& p, const SplitSettings& settings, const CommandRun& run,
                    const std::string& file, Picture& printed) {
    v.Form_Activate();
    if (int status = applySettings(v.controls(), settings.window, run, tr("the vector window"), "Form02."))
        return {.status = status};
    if (p.atSeconds) {
        std::string problem;
        auto position = scrollPositionAt(v.HScroll1, *p.atSeconds, v.VecFreq, problem);
        if (!position) return {.status = run.usageError(file + ": " + problem)};
        setScrollValue(v.HScroll1, *position);
    }
    v.V_Drow();
    printed = v.pictureWithValues();
    Painted painted{&printed, p.width, p.height};
    if (painted.width == 0) {
        painted.width = Form02Model::kDefaultPixelWidth;
        painted.height = static_cast<int>(std::lround(painted.width * printed.height / printed.width));
    }
    return painted;
}

int runPlot(CommandRun& run) {
    std::string problem;
    const std::optional<PlotChoices> p = choicesOf(run, problem);
    if (!p) return run.usageError(problem);
    const std::optional<SplitSettings> settings = splitSettings(run, p->wave, problem);
    if (!settings) return run.usageError(problem);
    if (!canDrawPictures())
        return run.fail(kExitUnavailable,
                        tr("plot is not available in this build of pqwave (it was built without Qt)"));

    CliSession session(run);
    Form1Model& form = session.form;
    const fs::path target = givenPath(run.operands[1]);
    const std::string file = target.string();
    const fs::path output = givenPath(*run.option("--output"));
    if (int status = session.openFile(target)) return status;
    try {
        refuseRecordingAsOutput(output, target);
    } catch (const Error& error) {
        return run.fail(kExitFailed, error.what());
    }
    if (int status = applySettings(form.controls(), settings->main, run)) return status;

    // The user presses "波形表示" or "ﾍﾞｸﾄﾙ表示": the samples are loaded, the window opens.
    Control& command = p->wave ? form.Command2 : form.Command4;
    if (!command.enabled)
        return run.fail(kExitUnavailable, tr("{0}: {1} is not available with these settings", {file, command.text}));
    click(command);
    if (session.host.status() != kExitDone) return session.status();
    if (form.LoadedFileName() != form.Label1.text) return run.fail(kExitFailed, tr("{0}: no samples to show", {file}));

    std::unique_ptr<Form2Model> waveform;
    std::unique_ptr<Form02Model> vector;
    Picture printed;
    Painted painted;
    if (p->wave) {
        waveform = std::make_unique<Form2Model>(form);
        painted = paintWaveform(*waveform, form, *p, *settings, run, file);
    } else {
        vector = std::make_unique<Form02Model>(form);
        painted = paintVector(*vector, *p, *settings, run, file, printed);
    }
    if (painted.status != kExitDone) return painted.status;
    if (form.progress.cancelRequested()) {
        const int signal = session.stopSignals.signalExitStatus();
        return run.fail(signal != 0 ? signal : kExitCancelled, tr("{0}: cancelled; nothing was written", {file}));
    }
    if (!writePicturePng(*painted.picture, painted.width, painted.height, output, problem))
        return run.fail(kExitFailed, problem);
    session.host.reportFileWritten(output);
    return session.status();
}

}  // namespace

const CliCommand& plotCommand() {
    static const CliCommand command{
        .name = "plot",
        .operands = "wave|vector FILE",
        .operandCount = 2,
        .summary = N_("what the waveform or vector window shows on FILE, as a PNG"),
        .description =
            N_("Paints what the waveform (\"波形表示\") or vector (\"ﾍﾞｸﾄﾙ表示\") window shows on FILE into a PNG,\n"
               "without a display. plot wave ticks every recorded channel, or the check boxes --traces\n"
               "numbers from 1 (1..8 ch1..ch8, 9 S相基本波, 10 S相電流, 11 未測定相Ｖ, 12 未測定相Is).\n"
               "A setting named Form2.NAME changes that control of the waveform window, Form02.NAME one of\n"
               "the vector window: --set Form2.Text2=10, --set Form02.Text1(0)=0.5.\n"),
        .options = {{"--output", "-o", "OUT.png", N_("the picture to write (needed)")},
                    {"--traces", nullptr, "LIST", N_("plot wave: the traces, as check box numbers 1,2,...")},
                    {"--at", nullptr, "SECONDS", N_("the window scrolled to that many seconds")},
                    {"--size", nullptr, "WxH", N_("the picture's size in pixels (default: as in the window)")}},
        .run = runPlot,
    };
    return command;
}

}  // namespace pqwave
