#include "report/html_report.h"

#include <cmath>

#include "report/chart_ticks.h"
#include "report/html_parts.h"
#include "report/svg_chart.h"
#include "report/verdicts.h"

namespace pqwave {
namespace html {

std::string number(double value, int decimals) {
    return std::isfinite(value) ? fixedText(value, decimals) : std::string();
}

std::string cell(std::string_view text, std::string_view attributes) {
    return "<td" + std::string(attributes) + ">" + xmlEscaped(text) + "</td>";
}

std::string numberCell(double value, int decimals, std::string_view attributes) {
    return "<td class=\"number\"" + std::string(attributes) + ">" + number(value, decimals) + "</td>";
}

std::string headCell(std::string_view text, std::string_view attributes) {
    return "<th" + std::string(attributes) + ">" + xmlEscaped(text) + "</th>";
}

std::string figureBlock(const Figure& figure, std::string_view caption) {
    return "<figure>\n" + svgOf(figure) + "<figcaption>" + xmlEscaped(caption) + "</figcaption>\n</figure>\n";
}

std::string Context::duration(double seconds) const {
    const long long s = std::llround(seconds);
    const long long days = s / 86400, hours = s % 86400 / 3600, minutes = s % 3600 / 60, rest = s % 60;
    if (days > 0)
        return t("{0} d {1} h {2} min", {std::to_string(days), std::to_string(hours), std::to_string(minutes)});
    if (hours > 0) return t("{0} h {1} min", {std::to_string(hours), std::to_string(minutes)});
    if (minutes > 0) return t("{0} min {1} s", {std::to_string(minutes), std::to_string(rest)});
    return t("{0} s", {fixedText(seconds, 1)});
}

}  // namespace html

namespace {

using html::Context;
const char* const kLineNames[] = {"U12", "U23", "U31"};

const char* const kStyle = R"(
body { font-family: IPAPGothic, 'Noto Sans CJK JP', 'Hiragino Sans', Meiryo, IPAGothic, sans-serif;
  font-size: 10.5pt; color: #000; background: #fff; max-width: 190mm; margin: 12px auto; line-height: 1.4; }
h1 { font-size: 18pt; margin: 0 0 4px 0; }
h2 { font-size: 13pt; border-bottom: 1.5px solid #000; margin: 18px 0 6px 0; }
h3 { font-size: 11pt; margin: 12px 0 4px 0; }
p { margin: 4px 0; }
table { border-collapse: collapse; width: 100%; margin: 4px 0 8px 0; }
th, td { border: 1px solid #666; padding: 2px 5px; vertical-align: top; }
th { background: #e6e6e6; text-align: left; font-weight: bold; }
td.number { text-align: right; white-space: nowrap; }
td.pass { font-weight: bold; }
td.fail { font-weight: bold; text-decoration: underline; background: #d0d0d0; }
td.none { color: #444; }
table.compact { font-size: 8.5pt; }
table.compact td, table.compact th { padding: 1px 4px; }
.summary { border: 1.5px solid #000; padding: 6px 8px; margin: 8px 0; }
.note { font-size: 9pt; }
figure { margin: 8px 0 12px 0; break-inside: avoid; page-break-inside: avoid; }
figcaption { font-size: 9pt; text-align: center; }
svg.chart { width: 100%; height: auto; display: block; }
@page { size: A4; margin: 14mm 12mm 14mm 12mm; }
@media print {
  body { max-width: none; margin: 0; font-size: 9.5pt; }
  section { break-before: page; page-break-before: always; }
  section.first { break-before: auto; page-break-before: auto; }
  h2, h3 { break-after: avoid; page-break-after: avoid; }
  tr, .summary { break-inside: avoid; page-break-inside: avoid; }
  thead { display: table-header-group; }
}
)";

std::string wiringText(const Context& c, const SurveyRecording& r) {
    std::string text = c.t("3-phase 3-wire, V connection");
    const int circuits = r.measurement.result.circuits;
    for (int k = 0; k < circuits; ++k) {
        const CircuitWiring& w = r.wiring.circuits[k];
        if (w.polarityInverted) text += "; " + c.t("circuit {0} polarity inverted", {std::to_string(k + 1)});
        if (w.starDelta == StarDelta::Minus30)
            text += "; " + c.t("circuit {0} star-delta -30°", {std::to_string(k + 1)});
        if (w.starDelta == StarDelta::Plus30)
            text += "; " + c.t("circuit {0} star-delta +30°", {std::to_string(k + 1)});
    }
    if (r.wiring.rotation == Rotation::Reverse) text += "; " + c.t("reverse phase rotation");
    return text;
}

std::string clampsText(const SurveyRecording& r) {
    std::string text;
    for (std::size_t k = 0; k < r.clampAmps.size(); ++k)
        text += (k ? ", " : "") + shortNumberText(r.clampAmps[k], 6) + " A";
    return text.empty() ? "-" : text;
}

std::string recordingsSection(const Context& c) {
    std::string out =
        "<section class=\"first\" id=\"recordings\">\n<h2>" + xmlEscaped(c.t("1. Recordings")) + "</h2>\n";
    out += "<table>\n<thead><tr>" + html::headCell(c.t("File")) + html::headCell(c.t("Model")) +
           html::headCell(c.t("Start")) + html::headCell(c.t("Duration")) + html::headCell(c.t("Sampling (Hz)")) +
           html::headCell(c.t("Wiring")) + html::headCell(c.t("PT ratio")) + html::headCell(c.t("Clamps (per 0.2 V)")) +
           html::headCell("Udin (V)") + "</tr></thead>\n<tbody>\n";
    for (std::size_t k = 0; k < c.survey.recordings.size(); ++k) {
        const SurveyRecording& r = c.survey.recordings[k];
        const PqResult& result = r.measurement.result;
        const std::string udin = shortNumberText(result.declaredVolts, 7) + " (" +
                                 (result.declaredAutomatically ? c.t("chosen from the first 10 s") : c.t("declared")) +
                                 ")";
        out += "<tr id=\"recording-" + std::to_string(k + 1) + "\" data-udin=\"" +
               html::number(result.declaredVolts, 3) + "\">" +
               html::cell(std::filesystem::path(r.facts.fileName).filename().string()) + html::cell(r.facts.model) +
               html::cell(clockText(r.clockSecondsAtStart)) + html::cell(c.duration(r.durationSeconds)) +
               html::numberCell(result.samplingHz, 1) +
               html::cell(wiringText(c, r) + ", " + shortNumberText(r.nominalHz) + " Hz") +
               html::cell(shortNumberText(r.ptRatio, 7)) + html::cell(clampsText(r)) + html::cell(udin) + "</tr>\n";
    }
    out += "</tbody>\n</table>\n";
    for (const SurveyRecording& r : c.survey.recordings)
        for (const std::string& warning : r.warnings) out += "<p class=\"note\">" + xmlEscaped(warning) + "</p>\n";
    if (!c.survey.leftOut.empty()) {
        out += "<p class=\"note\">" + xmlEscaped(c.t("Not in the survey (skipped or failed):"));
        for (const std::string& file : c.survey.leftOut)
            out += " " + xmlEscaped(std::filesystem::path(file).filename().string());
        out += "</p>\n";
    }
    return out;
}

std::string limitText(const Context& c, const Verdict& v) {
    const std::string share = shortNumberText(v.requiredShare);
    const std::string limit = shortNumberText(v.limit);
    const std::string line = v.voltage >= 0 ? kLineNames[v.voltage] : "";
    switch (v.check) {
        case Check::Voltage:
            return c.t("{0} % of the 10-min {1} values within Udin ± {2} %", {share, line, limit});
        case Check::Frequency:
            return c.t("{0} % of the 10-s frequencies within the nominal ± {1} %", {share, limit});
        case Check::Unbalance:
            return c.t("{0} % of the 10-min u2 values at most {1} %", {share, limit});
        case Check::Thd:
            return c.t("{0} % of the 10-min THD values of {1} at most {2} %", {share, line, limit});
        case Check::Plt:
            return c.t("{0} % of the 2-h Plt values of {1} at most {2}", {share, line, limit});
        case Check::Harmonics:
            return c.t("{0} % of the 10-min values of each harmonic of {1} at most its limit", {share, line});
    }
    return {};
}

std::string measuredText(const Context& c, const Verdict& v) {
    if (v.outcome == Outcome::NotJudged)
        return v.check == Check::Plt ? c.t("no whole 2 hours without a flag") : c.t("no value without a flag");
    const std::string share = html::number(v.share, 1), required = shortNumberText(v.requiredShare);
    switch (v.check) {
        case Check::Voltage:
            return c.t("{0} % within; {1} % within ± {2} %; {3} V to {4} V",
                       {share, required, html::number(v.percentile, 2), html::number(v.lowest, 1),
                        html::number(v.highest, 1)});
        case Check::Frequency:
            return c.t("{0} % within; {1} % within ± {2} %; {3} Hz to {4} Hz",
                       {share, required, html::number(v.percentile, 3), html::number(v.lowest, 3),
                        html::number(v.highest, 3)});
        case Check::Unbalance:
        case Check::Thd:
            return c.t("{0} % at most the limit; {1} % value {2} %", {share, required, html::number(v.percentile, 2)});
        case Check::Plt:
            return c.t("{0} % at most the limit; {1} % value {2}", {share, required, html::number(v.percentile, 2)});
        case Check::Harmonics:
            return c.t(
                "nearest its limit: order {0}, {1} % value {2} % (limit {3} %)",
                {std::to_string(v.worstOrder), required, html::number(v.percentile, 2), shortNumberText(v.limit)});
    }
    return {};
}

std::string verdictId(const Verdict& v) {
    static const char* const checks[] = {"voltage", "frequency", "unbalance", "thd", "plt", "harmonics"};
    std::string id = std::string("verdict-") + checks[static_cast<int>(v.check)];
    if (v.voltage >= 0) id += std::string("-") + kLineNames[v.voltage];
    return id;
}

std::string verdictRow(const Context& c, const Verdict& v, int periods) {
    const int total = v.used + v.leftOut;
    const double leftOutPercent = total > 0 ? 100.0 * v.leftOut / total : 0;
    const char* outcomeClass = v.outcome == Outcome::Pass ? "pass" : v.outcome == Outcome::Fail ? "fail" : "none";
    const std::string outcome = v.outcome == Outcome::Pass   ? c.t("pass")
                                : v.outcome == Outcome::Fail ? c.t("fail")
                                                             : c.t("not judged");
    std::string measured = measuredText(c, v);
    if (periods > 1 && v.outcome != Outcome::NotJudged)
        measured += " " + c.t("(the worst of {0} periods, from {1})",
                              {std::to_string(v.periods), clockText(v.worstPeriodStart)});
    std::string attributes = " id=\"" + verdictId(v) + "\" data-outcome=\"" + outcomeClass + "\" data-used=\"" +
                             std::to_string(v.used) + "\" data-left-out=\"" + std::to_string(v.leftOut) + "\"";
    if (v.outcome != Outcome::NotJudged)
        attributes += " data-share=\"" + html::number(v.share, 4) + "\" data-percentile=\"" +
                      html::number(v.percentile, 6) + "\"";
    if (v.check == Check::Harmonics && v.worstOrder > 0)
        attributes += " data-order=\"" + std::to_string(v.worstOrder) + "\"";
    return "<tr" + attributes + ">" + html::cell(limitText(c, v)) + html::cell(measured) +
           html::cell(outcome, std::string(" class=\"") + outcomeClass + "\"") +
           html::cell(c.t("{0} of {1} ({2} %)",
                          {std::to_string(v.leftOut), std::to_string(total), html::number(leftOutPercent, 1)}),
                      " class=\"number\"") +
           "</tr>\n";
}

std::string verdictSection(const Context& c, const SurveyVerdicts& verdicts) {
    const LimitSet& limits = c.options.limits;
    std::string out = "<h2>" + xmlEscaped(c.t("2. Verdict")) + "</h2>\n";
    int passed = 0, failed = 0;
    for (const Verdict& v : verdicts.rows) passed += v.outcome == Outcome::Pass, failed += v.outcome == Outcome::Fail;
    out += "<div class=\"summary\" id=\"summary\" data-passed=\"" + std::to_string(passed) + "\" data-failed=\"" +
           std::to_string(failed) + "\">\n<p>" +
           xmlEscaped(c.t("Limit set: {0} ({1}); observation period {2} days.",
                          {limits.name, limits.origin == "built in" ? c.t("built in") : limits.origin,
                           shortNumberText(limits.periodDays)})) +
           "</p>\n<p><b>" +
           xmlEscaped(c.t("{0} limits kept, {1} not kept.", {std::to_string(passed), std::to_string(failed)})) +
           "</b></p>\n";
    if (verdicts.shorterThanPeriod)
        out += "<p id=\"short-survey\">" +
               xmlEscaped(c.t("The survey lasts {0}, less than the {1} days the limits are stated for; it is judged "
                              "on the values it holds.",
                              {c.duration(verdicts.surveySeconds), shortNumberText(verdicts.periodDays)})) +
               "</p>\n";
    out += "</div>\n<table>\n<thead><tr>" + html::headCell(c.t("Limit")) + html::headCell(c.t("Measured")) +
           html::headCell(c.t("Verdict")) + html::headCell(c.t("Flagged values left out")) + "</tr></thead>\n<tbody>\n";
    int periods = 0;
    for (const Verdict& v : verdicts.rows) periods = std::max(periods, v.periods);
    for (const Verdict& v : verdicts.rows) out += verdictRow(c, v, periods);
    out += "</tbody>\n</table>\n<p class=\"note\">" +
           xmlEscaped(c.t("A value is flagged when its interval holds part of a dip, swell or interruption, or is "
                          "only partly recorded; flagged values are left out of every statistic. The value a share "
                          "keeps is the nearest-rank percentile.")) +
           "</p>\n";
    return out;
}

std::string notesSection(const Context& c) {
    std::string out = "<section id=\"notes\">\n<h2>" + xmlEscaped(c.t("6. How the values were measured")) + "</h2>\n";
    for (const char* note :
         {"The recorded waveforms were measured by the methods of IEC 61000-4-30 (basic intervals of 10 cycles at "
          "50 Hz or 12 at 60 Hz, resynchronised to each 10-minute clock tick; 3-s, 10-min and 2-h values as root "
          "mean squares), IEC 61000-4-7 (harmonic subgroups, THD from orders 2 to 40) and IEC 61000-4-15 (Pst, "
          "Plt). The program is not an instrument of class A; the methods are.",
          "Dips, swells and interruptions are found from Urms(1/2) against Udin (dip below 90 %, swell above 110 %, "
          "interruption below 10 %, hysteresis 2 %), one event for all three line voltages.",
          "Dips are classified as in EN 50160 and IEC 61000-2-8 by residual voltage and duration; swells by maximum "
          "voltage and duration."})
        out += "<p class=\"note\">" + xmlEscaped(c.t(note)) + "</p>\n";
    if (!c.options.generatedAt.empty())
        out += "<p class=\"note\">" + xmlEscaped(c.t("Made by pqwave on {0}.", {c.options.generatedAt})) + "</p>\n";
    return out + "</section>\n";
}

}  // namespace

std::string reportHtml(const PqSurvey& survey, const ReportOptions& options) {
    const SurveySeries series = seriesOf(survey);
    const Context c(survey, options, series);
    const SurveyVerdicts verdicts = judgeSurvey(series, options.limits);
    const std::string name = std::filesystem::path(survey.name).filename().string();
    std::string out = "<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"" +
                      std::string(options.language == Language::Japanese ? "ja" : "en") + "\">\n<head>\n" +
                      "<meta charset=\"utf-8\"/>\n<title>" + xmlEscaped(c.t("Power quality report") + " - " + name) +
                      "</title>\n<style>" + kStyle + "</style>\n</head>\n<body>\n";
    out += "<h1>" + xmlEscaped(c.t("Power quality report")) + "</h1>\n<p>" +
           xmlEscaped(c.t("{0}: {1} to {2}", {name, clockText(series.start), clockText(series.end)})) + "</p>\n";
    out += recordingsSection(c);
    out += verdictSection(c, verdicts);
    out += "</section>\n";
    out += html::trendsSection(c);
    out += html::harmonicsSection(c);
    out += html::eventsSection(c);
    out += notesSection(c);
    out += "</body>\n</html>\n";
    return out;
}

}  // namespace pqwave
