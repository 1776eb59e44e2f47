#include "control/model_text.h"

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

}  // namespace pqwave
