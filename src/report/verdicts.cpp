#include "report/verdicts.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "report/survey_statistics.h"

namespace pqwave {
namespace {

struct Sample {
    double time = 0;
    double value = 0;  // what the limit is compared with
    double raw = 0;    // the measured value itself (bands: V or Hz)
    bool flagged = false;
};

struct PeriodResult {
    double share = 0, percentile = 0, lowest = 0, highest = 0;
    int used = 0;
};

class Judge {
public:
    Judge(const SurveySeries& series, const LimitSet& limits)
        : series_(series), periodSeconds_(limits.periodDays * 86400) {}

    // Groups the values that are not flagged by period and fills the verdict from the worst.
    void judge(Verdict& v, const std::vector<Sample>& samples) const {
        std::map<long long, std::vector<const Sample*>> periods;
        for (const Sample& s : samples) {
            if (s.flagged || !std::isfinite(s.value)) {
                ++v.leftOut;
                continue;
            }
            ++v.used;
            periods[periodOf(s.time)].push_back(&s);
        }
        v.periods = static_cast<int>(periods.size());
        if (periods.empty()) return;
        bool first = true;
        for (const auto& [index, values] : periods) {
            const PeriodResult r = resultOf(values, v.limit, v.requiredShare);
            if (first || r.percentile > v.percentile) {
                v.share = r.share;
                v.percentile = r.percentile;
                v.lowest = r.lowest;
                v.highest = r.highest;
                v.worstPeriodStart = series_.start + static_cast<double>(index) * periodSeconds_;
            }
            first = false;
        }
        v.outcome = v.percentile <= v.limit ? Outcome::Pass : Outcome::Fail;
    }

    long long periodOf(double time) const {
        return static_cast<long long>(std::floor((time - series_.start) / periodSeconds_));
    }

    static PeriodResult resultOf(const std::vector<const Sample*>& values, double limit, double share) {
        PeriodResult r;
        std::vector<double> compared;
        compared.reserve(values.size());
        int within = 0;
        r.lowest = r.highest = values.front()->raw;
        for (const Sample* s : values) {
            compared.push_back(s->value);
            within += s->value <= limit;
            r.lowest = std::min(r.lowest, s->raw);
            r.highest = std::max(r.highest, s->raw);
        }
        r.used = static_cast<int>(values.size());
        r.share = 100.0 * within / r.used;
        r.percentile = nearestRankPercentile(compared, share);
        return r;
    }

private:
    const SurveySeries& series_;
    double periodSeconds_;
};

double deviationPercent(double value, double reference) {
    return reference > 0 && std::isfinite(value) ? std::abs(value - reference) / reference * 100 : NAN;
}

Verdict verdictOf(Check check, int voltage, double limit, double share) {
    Verdict v;
    v.check = check;
    v.voltage = voltage;
    v.limit = limit;
    v.requiredShare = share;
    return v;
}

void judgeRows(const Judge& judge, const SurveySeries& series, SurveyVerdicts& out, Check check, int voltage,
               const auto& limit, auto valueOf) {
    Verdict v = verdictOf(check, voltage, limit.first, limit.second);
    std::vector<Sample> samples;
    for (const TimedRow& r : series.rows) {
        const auto [compared, raw] = valueOf(r);
        samples.push_back({r.start, compared, raw, r.row->flagged});
    }
    judge.judge(v, samples);
    out.rows.push_back(v);
}

// Each order with a limit as its own statistic; the verdict shows the order nearest its limit.
void judgeHarmonics(const Judge& judge, const SurveySeries& series, const HarmonicLimits& limits, int voltage,
                    SurveyVerdicts& out) {
    Verdict worst = verdictOf(Check::Harmonics, voltage, NAN, limits.sharePercent);
    double worstRatio = -1;
    bool anyJudged = false, anyFailed = false;
    for (int order = 2; order <= kReportHighestOrder; ++order) {
        if (!std::isfinite(limits.percent[order])) continue;
        Verdict v = verdictOf(Check::Harmonics, voltage, limits.percent[order], limits.sharePercent);
        std::vector<Sample> samples;
        for (const TimedRow& r : series.rows) {
            const double h = harmonicPercent(*r.row, voltage, order);
            samples.push_back({r.start, h, h, r.row->flagged});
        }
        judge.judge(v, samples);
        if (v.outcome == Outcome::NotJudged) continue;
        anyJudged = true;
        anyFailed = anyFailed || v.outcome == Outcome::Fail;
        const double ratio = v.percentile / v.limit;
        if (ratio > worstRatio) {
            worstRatio = ratio;
            worst = v;
            worst.worstOrder = order;
        }
    }
    if (anyJudged) worst.outcome = anyFailed ? Outcome::Fail : Outcome::Pass;
    out.rows.push_back(worst);
}

}  // namespace

SurveyVerdicts judgeSurvey(const SurveySeries& series, const LimitSet& limits) {
    SurveyVerdicts out;
    out.periodDays = limits.periodDays;
    out.surveySeconds = series.end - series.start;
    out.shorterThanPeriod = out.surveySeconds < limits.periodDays * 86400 * (1 - 1e-9);
    const Judge judge(series, limits);
    if (limits.voltage)
        for (int u = 0; u < kLineVoltages; ++u)
            judgeRows(judge, series, out, Check::Voltage, u,
                      std::pair{limits.voltage->bandPercent, limits.voltage->sharePercent}, [u](const TimedRow& r) {
                          const double volts = r.row->lineVolts[u];
                          return std::pair{deviationPercent(volts, r.udin), volts};
                      });
    if (limits.frequency) {
        Verdict v = verdictOf(Check::Frequency, -1, limits.frequency->bandPercent, limits.frequency->sharePercent);
        std::vector<Sample> samples;
        for (const TimedFrequency& f : series.frequencies)
            samples.push_back({f.start, deviationPercent(f.hz, f.nominalHz), f.hz, f.flagged});
        judge.judge(v, samples);
        out.rows.push_back(v);
    }
    if (limits.unbalance)
        judgeRows(judge, series, out, Check::Unbalance, -1,
                  std::pair{limits.unbalance->maximum, limits.unbalance->sharePercent}, [](const TimedRow& r) {
                      const double u2 = r.row->unbalancePercent;
                      return std::pair{u2, u2};
                  });
    if (limits.thd)
        for (int u = 0; u < kLineVoltages; ++u)
            judgeRows(judge, series, out, Check::Thd, u, std::pair{limits.thd->maximum, limits.thd->sharePercent},
                      [u](const TimedRow& r) {
                          const double thd = r.row->thdPercent[u];
                          return std::pair{thd, thd};
                      });
    if (limits.plt)
        for (int u = 0; u < kLineVoltages; ++u) {
            Verdict v = verdictOf(Check::Plt, u, limits.plt->maximum, limits.plt->sharePercent);
            std::vector<Sample> samples;
            // Only whole 2 hours give a Plt of the standard's kind.
            for (const TimedFlicker& p : series.longTerm)
                samples.push_back({p.start, p.values[u], p.values[u], p.flagged || !p.complete});
            judge.judge(v, samples);
            out.rows.push_back(v);
        }
    if (limits.harmonics)
        for (int u = 0; u < kLineVoltages; ++u) judgeHarmonics(judge, series, *limits.harmonics, u, out);
    return out;
}

}  // namespace pqwave
