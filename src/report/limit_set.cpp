#include "report/limit_set.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <vector>

#include "common/error.h"
#include "common/messages.h"

namespace pqwave {
namespace {

// EN 50160 (medium voltage) as its public descriptions give it: 95 % of the 10-min values of a
// week within Uc +- 10 %; the 10-s frequency within 50 Hz +- 1 % for 99.5 % (of a year, here of
// the survey); Plt <= 1, negative sequence <= 2 % of the positive and THD (to the 40th) <= 8 %,
// each for 95 % of the week; and the individual harmonics, up to order 25, in % of the
// fundamental, for 95 % of the 10-min values. Orders above 25 have no value.
constexpr std::string_view kEn50160 = R"(# EN 50160, medium-voltage supply
name = EN 50160 (medium voltage)
period_days = 7

[voltage]
band_percent = 10
share_percent = 95

[frequency]
band_percent = 1
share_percent = 99.5

[unbalance]
max_percent = 2
share_percent = 95

[thd]
max_percent = 8
share_percent = 95

[plt]
max = 1
share_percent = 95

# odd orders not multiples of 3, odd multiples of 3, even orders
[harmonics]
share_percent = 95
h5 = 6
h7 = 5
h11 = 3.5
h13 = 3
h17 = 2
h19 = 1.5
h23 = 1.5
h25 = 1.5
h3 = 5
h9 = 1.5
h15 = 0.5
h21 = 0.5
h2 = 2
h4 = 1
h6 = 0.5
h8 = 0.5
h10 = 0.5
h12 = 0.5
h14 = 0.5
h16 = 0.5
h18 = 0.5
h20 = 0.5
h22 = 0.5
h24 = 0.5
)";

const std::map<std::string, std::vector<std::string>, std::less<>>& sectionKeys() {
    static const std::map<std::string, std::vector<std::string>, std::less<>> keys = {
        {"", {"name", "period_days"}},
        {"voltage", {"band_percent", "share_percent"}},
        {"frequency", {"band_percent", "share_percent"}},
        {"unbalance", {"max_percent", "share_percent"}},
        {"thd", {"max_percent", "share_percent"}},
        {"plt", {"max", "share_percent"}},
        {"harmonics", {"share_percent"}},
    };
    return keys;
}

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") + 1 - first);
}

class LimitParser {
public:
    LimitParser(std::string_view text, std::string fileName) : text_(text), fileName_(std::move(fileName)) {}

    LimitSet parse() {
        if (text_.starts_with("\xEF\xBB\xBF")) text_.remove_prefix(3);
        std::size_t start = 0;
        while (start <= text_.size()) {
            const std::size_t end = std::min(text_.find('\n', start), text_.size());
            ++line_;
            take(trimmed(text_.substr(start, end - start)));
            start = end + 1;
        }
        line_ = 0;
        return build();
    }

private:
    [[noreturn]] void refuse(const std::string& problem, int line) const {
        throw Error(ErrorKind::Malformed, fileName_ + (line > 0 ? ":" + std::to_string(line) : "") + ": " + problem);
    }
    [[noreturn]] void refuse(const std::string& problem) const { refuse(problem, line_); }

    void take(std::string_view line) {
        if (line.empty() || line.front() == '#' || line.front() == ';') return;
        if (line.front() == '[') {
            if (line.back() != ']') refuse(tr("a section line is [NAME], not \"{0}\"", {line}));
            const std::string name(trimmed(line.substr(1, line.size() - 2)));
            if (!sectionKeys().contains(name) || name.empty())
                refuse(
                    tr("no section [{0}]; the sections are [voltage], [frequency], [unbalance], [thd], [plt] and "
                       "[harmonics]",
                       {name}));
            if (!sections_.insert(name).second) refuse(tr("section [{0}] appears twice", {name}));
            sectionLines_[name] = line_;
            section_ = name;
            return;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) refuse(tr("expected KEY = VALUE, not \"{0}\"", {line}));
        const std::string key(trimmed(line.substr(0, equals)));
        const std::string value(trimmed(line.substr(equals + 1)));
        if (!knownKey(key)) refuse(unknownKeyProblem(key));
        if (value.empty()) refuse(tr("{0} has no value", {key}));
        if (!values_.try_emplace({section_, key}, Value{value, line_}).second)
            refuse(section_.empty() ? tr("{0} is given twice", {key})
                                    : tr("{0} is given twice in [{1}]", {key, section_}));
    }

    bool knownKey(const std::string& key) const {
        const auto& keys = sectionKeys().find(section_)->second;
        if (std::find(keys.begin(), keys.end(), key) != keys.end()) return true;
        return section_ == "harmonics" && harmonicOrder(key) > 0;
    }

    static int harmonicOrder(const std::string& key) {
        if (key.size() < 2 || key[0] != 'h' || key.size() > 3) return 0;
        int order = 0;
        for (std::size_t i = 1; i < key.size(); ++i) {
            if (key[i] < '0' || key[i] > '9') return 0;
            order = order * 10 + (key[i] - '0');
        }
        return order >= 2 && order <= kReportHighestOrder && key[1] != '0' ? order : 0;
    }

    std::string unknownKeyProblem(const std::string& key) const {
        std::string known;
        for (const std::string& k : sectionKeys().find(section_)->second) known += (known.empty() ? "" : ", ") + k;
        if (section_ == "harmonics") known += ", h2 ... h" + std::to_string(kReportHighestOrder);
        return section_.empty() ? tr("no key \"{0}\" before the sections; the keys are {1}", {key, known})
                                : tr("no key \"{0}\" in [{1}]; the keys are {2}", {key, section_, known});
    }

    struct Value {
        std::string text;
        int line = 0;
    };

    double number(const std::string& section, const std::string& key, double low, double high, bool lowOpen) const {
        const auto it = values_.find({section, key});
        if (it == values_.end())
            refuse(section.empty() ? tr("{0} is needed", {key}) : tr("[{0}] needs {1}", {section, key}),
                   section.empty() ? 0 : sectionLines_.at(section));
        const Value& v = it->second;
        char* end = nullptr;
        const double x = std::strtod(v.text.c_str(), &end);
        if (end != v.text.c_str() + v.text.size() || !std::isfinite(x))
            refuse(tr("{0} = \"{1}\" is not a number", {key, v.text}), v.line);
        if ((lowOpen ? !(x > low) : !(x >= low)) || x > high)
            refuse(lowOpen ? tr("{0} = {1} is out of range (above {2} to {3})", {key, v.text, fmt(low), fmt(high)})
                           : tr("{0} = {1} is out of range (from {2} to {3})", {key, v.text, fmt(low), fmt(high)}),
                   v.line);
        return x;
    }

    static std::string fmt(double x) {
        std::ostringstream out;
        out << x;
        return out.str();
    }

    double share(const std::string& section) const { return number(section, "share_percent", 0, 100, true); }

    LimitSet build() const {
        LimitSet set;
        set.origin = fileName_;
        const auto name = values_.find({"", "name"});
        if (name == values_.end()) refuse(tr("name = ... is needed: the report names the set it judges by"), 0);
        set.name = name->second.text;
        if (values_.contains({"", "period_days"})) set.periodDays = number("", "period_days", 0, 366, true);
        if (sections_.contains("voltage"))
            set.voltage = BandLimit{number("voltage", "band_percent", 0, 100, true), share("voltage")};
        if (sections_.contains("frequency"))
            set.frequency = BandLimit{number("frequency", "band_percent", 0, 100, true), share("frequency")};
        if (sections_.contains("unbalance"))
            set.unbalance = CeilingLimit{number("unbalance", "max_percent", 0, 100, true), share("unbalance")};
        if (sections_.contains("thd"))
            set.thd = CeilingLimit{number("thd", "max_percent", 0, 1000, true), share("thd")};
        if (sections_.contains("plt")) set.plt = CeilingLimit{number("plt", "max", 0, 100, true), share("plt")};
        if (sections_.contains("harmonics")) {
            HarmonicLimits h;
            h.sharePercent = share("harmonics");
            for (int order = 2; order <= kReportHighestOrder; ++order) {
                const std::string key = "h" + std::to_string(order);
                if (values_.contains({"harmonics", key})) h.percent[order] = number("harmonics", key, 0, 100, true);
            }
            set.harmonics = h;
        }
        return set;
    }

    std::string_view text_;
    std::string fileName_;
    int line_ = 0;
    std::string section_;
    std::set<std::string> sections_;
    std::map<std::string, int> sectionLines_;
    std::map<std::pair<std::string, std::string>, Value> values_;
};

}  // namespace

LimitSet parseLimitSet(std::string_view text, const std::string& fileName) {
    return LimitParser(text, fileName).parse();
}

std::string_view en50160MediumVoltageText() {
    return kEn50160;
}

LimitSet en50160MediumVoltage() {
    LimitSet set = parseLimitSet(kEn50160, "en50160");
    set.origin = "built in";
    return set;
}

LimitSet limitSetNamed(const std::string& nameOrFile) {
    if (nameOrFile == "en50160") return en50160MediumVoltage();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(nameOrFile, ec))
        throw Error(ErrorKind::CannotRead, tr("{0}: no limit file of that name (or give en50160)", {nameOrFile}));
    std::ifstream in(nameOrFile, std::ios::binary);
    if (!in) throw Error(ErrorKind::CannotRead, tr("{0}: the limit file cannot be read", {nameOrFile}));
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw Error(ErrorKind::CannotRead, tr("{0}: the limit file cannot be read", {nameOrFile}));
    if (text.size() > 1 << 20) throw Error(ErrorKind::Malformed, tr("{0}: over 1 MB, not a limit file", {nameOrFile}));
    return parseLimitSet(text, nameOrFile);
}

}  // namespace pqwave
