#include "app/cli_settings.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <ostream>
#include <set>

#include "app/cli_host.h"
#include "app/nearest_names.h"
#include "common/messages.h"
#include "control/control.h"

namespace pqwave {
namespace {

using V = AliasValue;

std::vector<std::string> splitAtSpaces(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t space = std::min(text.find(' ', start), text.size());
        if (space > start) parts.push_back(text.substr(start, space - start));
        start = space + 1;
    }
    return parts;
}

std::string replaced(std::string text, const std::string& mark, const std::string& by) {
    for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + by.size()))
        text.replace(at, mark.size(), by);
    return text;
}

// "Text2(0)={0} Text2(1)={1}" with the parts in place, as NAME=VALUE pairs.
std::vector<std::pair<std::string, std::string>> settingsOf(const std::string& templ,
                                                            const std::vector<std::string>& parts) {
    std::vector<std::pair<std::string, std::string>> settings;
    for (std::string setting : splitAtSpaces(templ)) {
        for (std::size_t k = 0; k < parts.size(); ++k)
            setting = replaced(setting, "{" + std::to_string(k) + "}", parts[k]);
        const std::size_t equals = setting.find('=');
        settings.emplace_back(setting.substr(0, equals), setting.substr(equals + 1));
    }
    return settings;
}

bool isNumber(const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    return !text.empty() && end == text.c_str() + text.size() && std::isfinite(value);
}

std::optional<long> wholeNumber(const std::string& text) {
    long value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

bool valueFits(AliasValue kind, const std::string& text) {
    switch (kind) {
        case V::Number:
            return isNumber(text);
        case V::PositiveNumber:
            return isNumber(text) && std::strtod(text.c_str(), nullptr) > 0;
        case V::WholeNumber:
            return wholeNumber(text).has_value();
        default:
            return true;
    }
}

std::string valueWanted(AliasValue kind) {
    switch (kind) {
        case V::Number:
            return tr("a number");
        case V::PositiveNumber:
            return tr("a number above 0");
        case V::WholeNumber:
            return tr("a whole number");
        default:
            return tr("a value");
    }
}

std::vector<std::string> choiceWords(const SettingAlias& alias) {
    std::vector<std::string> words;
    for (const AliasChoice& choice : alias.choices) words.emplace_back(choice.word);
    return words;
}

// A control as a user knows it: its caption and name, or the name of a box without caption.
std::string controlTitle(const Control& c) {
    const bool captioned = c.kind == ControlKind::CheckBox || c.kind == ControlKind::OptionButton ||
                           c.kind == ControlKind::Frame || c.kind == ControlKind::CommandButton;
    return captioned && !c.text.empty() ? c.text + " (" + c.name + ")" : c.name;
}

// The names a setting may use: every control's, and each option group's own.
std::vector<std::string> settingNames(const ControlSet& controls, const std::string& prefix) {
    std::vector<std::string> names;
    std::set<std::string> groups;
    for (const Control* c : controls) {
        names.push_back(prefix + c->name);
        const std::size_t paren = c->name.find('(');
        if (c->kind == ControlKind::OptionButton && paren != std::string::npos &&
            groups.insert(c->name.substr(0, paren)).second)
            names.push_back(prefix + c->name.substr(0, paren));
    }
    return names;
}

// "Text7 has the indexes 0 to 7" when the name is an index the array lacks.
std::string indexesOf(const ControlSet& controls, const std::string& name) {
    const std::size_t paren = name.find('(');
    if (paren == std::string::npos) return {};
    const std::string base = name.substr(0, paren + 1);
    std::string first, last;
    for (const Control* c : controls)
        if (c->name.starts_with(base)) {
            if (first.empty()) first = c->name.substr(paren + 1, c->name.size() - paren - 2);
            last = c->name.substr(paren + 1, c->name.size() - paren - 2);
        }
    if (first.empty()) return {};
    return tr("; {0} has the indexes {1} to {2}", {name.substr(0, paren), first, last});
}

// What values the control takes, for a value it does not.
std::string valuesTaken(const ControlSet& controls, const std::string& name) {
    if (isOptionGroup(controls, name)) {
        int count = 0;
        while (controls.find(name + "(" + std::to_string(count) + ")")) ++count;
        return tr("an option from 0 to {0}", {std::to_string(count - 1)});
    }
    const Control* c = controls.find(name);
    if (c && c->kind == ControlKind::CheckBox) return tr("0 or 1");
    if (c && c->kind == ControlKind::OptionButton) return tr("1, to select it");
    if (c && c->kind == ControlKind::ComboBox)
        return tr("a list index from 0 to {0}", {std::to_string(c->items.size() - 1)});
    return tr("another value");
}

// The line that says why a setting was not made.
std::string refusal(SettingResult result, const ControlSet& controls, const LineSetting& s, const std::string& window,
                    const std::string& prefix) {
    const std::string given = s.given == "--set " + prefix + s.name + "=" + s.value
                                  ? s.given
                                  : s.given + " (--set " + prefix + s.name + "=" + s.value + ")";
    switch (result) {
        case SettingResult::UnknownControl: {
            std::string hint = indexesOf(controls, s.name);
            if (hint.empty()) hint = didYouMean(prefix + s.name, settingNames(controls, prefix));
            return tr("{0}: {1} has no control {2}{3}", {given, window, prefix + s.name, hint});
        }
        case SettingResult::NotSettable: {
            const Control& c = *controls.find(s.name);
            return c.kind == ControlKind::Label
                       ? tr("{0}: {1} takes no value; it only shows one", {given, controlTitle(c)})
                       : tr("{0}: {1} takes no value", {given, controlTitle(c)});
        }
        case SettingResult::BadValue:
            return tr("{0}: {1} takes {2}, not \"{3}\"",
                      {given, prefix + s.name, valuesTaken(controls, s.name), s.value});
        case SettingResult::Unreachable: {
            const Control& target = *settingTarget(controls, s.name, s.value);
            return tr("{0}: a user cannot reach {1} with these settings; {2}",
                      {given, controlTitle(target), whyUnreachable(target)});
        }
        default:
            return {};
    }
}

std::vector<SettingAlias> makeMainWindowAliases() {
    return {
        {.name = "--processing",
         .argument = "rms|raw|vipq-fft|ch-fft",
         .value = V::Choice,
         .choices = {{"rms", "Option2=0"}, {"raw", "Option2=1"}, {"vipq-fft", "Option2=2"}, {"ch-fft", "Option2=3"}},
         .help = N_("処理内容: 実効値演算, 生データ出力, PQデータFFT or CHデータFFT")},
        {.name = "--moving-fft", .settings = "Option2=3 Check4=1", .help = N_("時間移動FFT of every channel")},
        {.name = "--10ms",
         .settings = "Option2=0 Check13=1",
         .help = N_("実効値演算 with 10ms移動平均誤差補正 (sampled at 200 Hz or more)")},
        {.name = "--kind",
         .argument = "8840|waveform|auto|rms|logger",
         .value = V::Choice,
         .choices = {{"8840", "Option1=0"},
                     {"waveform", "Option1=1"},
                     {"auto", "Option1=2"},
                     {"rms", "Option1=3"},
                     {"logger", "Option1=4"}},
         .help = N_("データ: the kind of recording (FILE clicked chooses its own; batch needs one)")},
        {.name = "--interval",
         .argument = "MS",
         .value = V::PositiveNumber,
         .settings = "Text1={0}",
         .help = N_("出力間隔 in ms (20, or one cycle with --60hz)")},
        {.name = "--50hz", .settings = "Option5=0", .help = N_("a 50 Hz supply (the interval becomes 20 ms)")},
        {.name = "--60hz", .settings = "Option5=1", .help = N_("a 60 Hz supply (the interval becomes one cycle)")},
        {.name = "--fundamental", .settings = "Check1=1", .help = N_("基本波解析: the fundamental's columns")},
        {.name = "--fifth", .settings = "Check3=1", .help = N_("第5次調波解析: the 5th harmonic's columns")},
        {.name = "--harmonics", .settings = "Check1=1 Check3=1", .help = N_("both, --fundamental and --fifth")},
        {.name = "--frequency",
         .settings = "Check5=1",
         .help = N_("周波数: a frequency column (at an interval of 20 ms)")},
        {.name = "--per-phase", .settings = "Check6=1", .help = N_("相別出力: each phase's values")},
        {.name = "--phase-check",
         .settings = "Check2=1",
         .help = N_("自動位相確認: the rotation found from the samples")},
        {.name = "--statistics-only",
         .settings = "Check10=1",
         .help = N_("統計処理のみ出力 (batch: the summaries only)")},
        {.name = "--pt",
         .argument = "RATIO",
         .value = V::PositiveNumber,
         .settings = "Text7(0)={0}",
         .help = N_("ＰＴ比 of the voltage channels")},
        {.name = "--clamp",
         .argument = "C=A",
         .value = V::PositiveNumber,
         .settings = "Text7({0})={1}",
         .separator = '=',
         .firstMin = 1,
         .firstMax = 7,
         .help = N_("電流ｸﾗﾝﾌﾟ of circuit C (1..7): A amperes at its full scale of 0.2 V")},
        {.name = "--range",
         .argument = "FIRST:LAST",
         .value = V::Number,
         .settings = "Text2(0)={0} Text2(1)={1}",
         .separator = ':',
         .help = N_("データ出力範囲: samples FIRST to LAST of the raw data (LAST empty: to the end)")},
        {.name = "--step",
         .argument = "N",
         .value = V::PositiveNumber,
         .settings = "Text4={0}",
         .help = N_("Step: every N-th sample of the raw data")},
        {.name = "--clock-times",
         .settings = "Check15=1",
         .help = N_("時間軸を時刻(日時)で出力: the raw data's times as dates")},
        {.name = "--time-of-day",
         .settings = "Check11=1",
         .help = N_("時刻統計: batch pools the hours of the year (--kind rms or logger)")},
        {.name = "--year",
         .argument = "YEAR",
         .value = V::WholeNumber,
         .settings = "Text6={0}",
         .help = N_("the year 時刻統計 collects (this year unless given)")},
    };
}

}  // namespace

const std::vector<SettingAlias>& mainWindowAliases() {
    static const std::vector<SettingAlias> aliases = makeMainWindowAliases();
    return aliases;
}

std::optional<std::vector<std::pair<std::string, std::string>>> expandAlias(const SettingAlias& alias,
                                                                            const std::string& value,
                                                                            std::string& problem) {
    const std::string given = std::string(alias.name) + " " + value;
    if (alias.value == V::None) return settingsOf(alias.settings, {});
    if (alias.value == V::Choice) {
        for (const AliasChoice& choice : alias.choices)
            if (value == choice.word) return settingsOf(choice.settings, {});
        problem =
            tr("{0}: {1} takes {2}{3}", {given, alias.name, alias.argument, didYouMean(value, choiceWords(alias))});
        return std::nullopt;
    }
    std::vector<std::string> parts{value};
    if (alias.separator != 0) {
        const std::size_t at = value.find(alias.separator);
        if (at == std::string::npos) {
            problem = tr("{0}: {1} takes {2}", {given, alias.name, alias.argument});
            return std::nullopt;
        }
        parts = {value.substr(0, at), value.substr(at + 1)};
        if (alias.firstMax > 0) {
            const auto index = wholeNumber(parts[0]);
            if (!index || *index < alias.firstMin || *index > alias.firstMax) {
                problem = tr("{0}: {1} takes {2} with {3} from {4} to {5}",
                             {given, alias.name, alias.argument, std::string(1, alias.argument[0]),
                              std::to_string(alias.firstMin), std::to_string(alias.firstMax)});
                return std::nullopt;
            }
            parts[0] = std::to_string(*index);
        }
    }
    // Of a pair, the index was checked above; the other parts (or the one value) are values,
    // and an end left empty stands for the recording's last sample.
    for (std::size_t k = alias.firstMax > 0 ? 1 : 0; k < parts.size(); ++k) {
        const bool emptyEnd = alias.separator == ':' && k == 1 && parts[k].empty();
        if (!emptyEnd && !valueFits(alias.value, parts[k])) {
            const std::string argument = alias.argument;
            std::string what = valueWanted(alias.value);
            if (alias.separator != 0)
                what = alias.firstMax > 0 ? tr("{0} with {1} {2}",
                                               {argument, argument.substr(argument.find(alias.separator) + 1), what})
                                          : tr("{0} with each {1}", {argument, what});
            problem = tr("{0}: {1} takes {2}", {given, alias.name, what});
            return std::nullopt;
        }
    }
    return settingsOf(alias.settings, parts);
}

std::string aliasMeaning(const SettingAlias& alias) {
    if (alias.value == V::Choice) {
        // "Option2=0|1|2|3" when every choice sets one value of the same control.
        std::string name, values;
        for (const AliasChoice& choice : alias.choices) {
            const auto settings = settingsOf(choice.settings, {});
            if (settings.size() != 1 || (!name.empty() && settings[0].first != name)) return {};
            name = settings[0].first;
            values += (values.empty() ? "" : "|") + settings[0].second;
        }
        return "--set " + name + "=" + values;
    }
    std::vector<std::string> parts{alias.argument ? alias.argument : ""};
    if (alias.separator != 0) {
        const std::string argument = alias.argument;
        const std::size_t at = argument.find(alias.separator);
        parts = {argument.substr(0, at), argument.substr(at + 1)};
    }
    std::string meaning;
    for (const auto& [name, value] : settingsOf(alias.settings, parts))
        meaning += (meaning.empty() ? "--set " : " --set ") + name + "=" + value;
    return meaning;
}

int applySettings(const ControlSet& controls, const std::vector<LineSetting>& settings, const CommandRun& run,
                  const std::string& window, const std::string& prefix) {
    for (const LineSetting& given : settings) {
        LineSetting s = given;
        s.name = s.name.substr(prefix.size());
        const SettingResult result = applySetting(controls, s.name, s.value);
        if (result == SettingResult::Applied) continue;
        const std::string why = refusal(result, controls, s, window.empty() ? tr("the main window") : window, prefix);
        if (result == SettingResult::Unreachable) return run.fail(kExitUnavailable, why);
        run.fail(kExitUsage, why);
        run.err << tr("Try 'pqwave-cli help settings'; 'pqwave-cli info FILE --all' lists every control.") << "\n";
        return kExitUsage;
    }
    return kExitDone;
}

}  // namespace pqwave
