#include "control/model_text.h"

#include <charconv>
#include <optional>

#include "common/textforms.h"
#include "control/form1_model.h"

namespace pqwave {
namespace {

void line(std::string& out, const std::string& name, const std::string& value) {
    out += name;
    out += '=';
    out += value;
    out += '\n';
}

std::optional<int> wholeNumber(const std::string& text) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

void describeControl(std::string& out, const Control& c) {
    switch (c.kind) {
        case ControlKind::CheckBox:
        case ControlKind::OptionButton:
            line(out, c.name, std::to_string(c.value));
            line(out, c.name + ".Caption", c.text);
            break;
        case ControlKind::ComboBox:
            line(out, c.name, std::to_string(c.value));
            break;
        default:
            line(out, c.name, c.text);
    }
    line(out, c.name + ".Enabled", c.enabled ? "1" : "0");
    line(out, c.name + ".Visible", c.visible ? "1" : "0");
}

template <typename T, std::size_t N, typename Form>
void describeArray(std::string& out, const std::string& name, const std::array<T, N>& values, Form form) {
    for (std::size_t i = 0; i < N; ++i) line(out, name + "(" + std::to_string(i) + ")", form(values[i]));
}

}  // namespace

std::string describeModel(const Form1Model& form) {
    std::string out;
    line(out, "Drive1", form.Drive1.drive);
    line(out, "Dir1", form.Dir1.path);
    line(out, "File1", form.File1.fileName);
    line(out, "File1.Path", form.File1.path);
    line(out, "File1.Pattern", form.File1.pattern);
    for (const Control* control : form.controls()) describeControl(out, *control);

    auto integer = [](long long v) { return formI(v); };
    auto single = [](float v) { return formS(v); };
    line(out, "ChannelCount", formI(form.ChannelCount()));
    line(out, "LogicChannelCount", formI(form.LogicChannelCount()));
    line(out, "RmsDataFile", formI(form.RmsDataFile()));
    line(out, "FormatCode", formI(form.FormatCode()));
    line(out, "SampleCount", formD(form.SampleCount()));
    line(out, "HeaderBlocks", formI(form.HeaderBlocks()));
    line(out, "LoggerExtraFlag", formI(form.LoggerExtraFlag()));
    line(out, "TimeUnitFactor", formD(form.TimeUnitFactor()));
    line(out, "SamplePeriod", formS(form.SamplePeriod()));
    line(out, "SamplePeriodAtLoad", formD(form.SamplePeriodAtLoad()));
    line(out, "FileRecognized", formI(form.FileRecognized));
    line(out, "LastActiveChannel", formI(form.LastActiveChannel()));
    line(out, "LoadedFileName", form.LoadedFileName());
    line(out, "SupplyFrequency", formS(form.SupplyFrequency));
    line(out, "RawOutputStep", formS(form.RawOutputStep));
    describeArray(out, "ChannelSelection", form.ChannelSelection, integer);
    describeArray(out, "ChannelMap", form.ChannelMap, integer);
    describeArray(out, "ChannelScale", form.ChannelScale(), single);
    line(out, "SampleTable.Rows", formI(static_cast<long long>(form.SampleTable().rows())));
    line(out, "SampleTable.Columns", formI(static_cast<long long>(form.SampleTable().columns())));
    return out;
}

SettingResult applySetting(Form1Model& form, const std::string& name, const std::string& value) {
    if (Control* first = form.findControl(name + "(0)"); first && first->kind == ControlKind::OptionButton) {
        Control* option = nullptr;
        if (wholeNumber(value)) option = form.findControl(name + "(" + value + ")");
        if (!option) return SettingResult::BadValue;
        select(*option);
        return SettingResult::Applied;
    }
    Control* control = form.findControl(name);
    if (!control) return SettingResult::UnknownControl;
    switch (control->kind) {
        case ControlKind::TextBox:
            setText(*control, value);
            if (control->onLostFocus) control->onLostFocus();
            return SettingResult::Applied;
        case ControlKind::CheckBox: {
            auto v = wholeNumber(value);
            if (!v || (*v != 0 && *v != 1)) return SettingResult::BadValue;
            setValue(*control, *v);
            return SettingResult::Applied;
        }
        case ControlKind::OptionButton: {
            if (value != "1") return SettingResult::BadValue;
            select(*control);
            return SettingResult::Applied;
        }
        case ControlKind::ComboBox: {
            auto v = wholeNumber(value);
            if (!v || *v < 0 || *v >= static_cast<int>(control->items.size())) return SettingResult::BadValue;
            setListIndex(*control, *v);
            return SettingResult::Applied;
        }
        default:
            return SettingResult::NotSettable;
    }
}

}  // namespace pqwave
