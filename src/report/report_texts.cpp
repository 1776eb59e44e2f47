#include "report/report_texts.h"

#include <cstdlib>
#include <mutex>
#include <string_view>
#include <unordered_map>

namespace pqwave {
namespace {

struct Translation {
    const char* english;
    const char* japanese;
};

// clang-format off
const Translation kTexts[] = {
    {"Power quality report", "電力品質調査報告書"},
    {"{0}: {1} to {2}", "{0}：{1} ～ {2}"},
    {"1. Recordings", "1. 測定記録"},
    {"2. Verdict", "2. 判定"},
    {"3. Trends", "3. トレンド"},
    {"4. Harmonics", "4. 高調波"},
    {"5. Events", "5. イベント"},
    {"6. How the values were measured", "6. 測定方法"},
    {"File", "ファイル"},
    {"Model", "機種"},
    {"Start", "開始"},
    {"Duration", "測定時間"},
    {"Sampling (Hz)", "サンプリング (Hz)"},
    {"Wiring", "結線"},
    {"PT ratio", "PT比"},
    {"Clamps (per 0.2 V)", "クランプ定格 (0.2 V あたり)"},
    {"chosen from the first 10 s", "最初の10秒から選択"},
    {"declared", "指定"},
    {"3-phase 3-wire, V connection", "三相3線 V結線"},
    {"circuit {0} polarity inverted", "回路{0} 極性反転"},
    {"circuit {0} star-delta -30°", "回路{0} Y-Δ -30°"},
    {"circuit {0} star-delta +30°", "回路{0} Y-Δ +30°"},
    {"reverse phase rotation", "逆相順"},
    {"Not in the survey (skipped or failed):", "調査に含まれないファイル (スキップまたは失敗)："},
    {"{0} d {1} h {2} min", "{0}日{1}時間{2}分"},
    {"{0} h {1} min", "{0}時間{1}分"},
    {"{0} min {1} s", "{0}分{1}秒"},
    {"{0} s", "{0}秒"},
    {"Limit set: {0} ({1}); observation period {2} days.", "限度値セット：{0} ({1})、評価期間 {2} 日。"},
    {"built in", "組み込み"},
    {"{0} limits kept, {1} not kept.", "適合 {0} 項目、不適合 {1} 項目。"},
    {"The survey lasts {0}, less than the {1} days the limits are stated for; it is judged on the values it holds.",
     "調査期間は{0}で、限度値の評価期間 {1} 日より短いため、得られた値で判定しています。"},
    {"Limit", "限度値"},
    {"Measured", "測定値"},
    {"Verdict", "判定"},
    {"Flagged values left out", "除外したフラグ付きの値"},
    {"pass", "適合"},
    {"fail", "不適合"},
    {"not judged", "判定なし"},
    {"{0} of {1} ({2} %)", "{1} 中 {0} ({2} %)"},
    {"(the worst of {0} periods, from {1})", "({0} 期間のうち最も悪い {1} からの期間)"},
    {"{0} % of the 10-min {1} values within Udin ± {2} %", "{1} の10分値の {0} % が Udin ± {2} % 以内"},
    {"{0} % of the 10-s frequencies within the nominal ± {1} %", "周波数の10秒値の {0} % が定格 ± {1} % 以内"},
    {"{0} % of the 10-min u2 values at most {1} %", "u2 の10分値の {0} % が {1} % 以下"},
    {"{0} % of the 10-min THD values of {1} at most {2} %", "{1} の THD 10分値の {0} % が {2} % 以下"},
    {"{0} % of the 2-h Plt values of {1} at most {2}", "{1} の Plt 2時間値の {0} % が {2} 以下"},
    {"{0} % of the 10-min values of each harmonic of {1} at most its limit",
     "{1} の各次高調波の10分値の {0} % がその限度値以下"},
    {"no whole 2 hours without a flag", "フラグのない完全な2時間値がありません"},
    {"no value without a flag", "フラグのない値がありません"},
    {"{0} % within; {1} % within ± {2} %; {3} V to {4} V", "{0} % が範囲内、{1} % 値 ± {2} %、{3} V ～ {4} V"},
    {"{0} % within; {1} % within ± {2} %; {3} Hz to {4} Hz", "{0} % が範囲内、{1} % 値 ± {2} %、{3} Hz ～ {4} Hz"},
    {"{0} % at most the limit; {1} % value {2} %", "{0} % が限度値以下、{1} % 値 {2} %"},
    {"{0} % at most the limit; {1} % value {2}", "{0} % が限度値以下、{1} % 値 {2}"},
    {"nearest its limit: order {0}, {1} % value {2} % (limit {3} %)",
     "限度値に最も近い次数：{0} 次、{1} % 値 {2} % (限度値 {3} %)"},
    {"A value is flagged when its interval holds part of a dip, swell or interruption, or is only partly "
     "recorded; flagged values are left out of every statistic. The value a share keeps is the nearest-rank "
     "percentile.",
     "区間に電圧低下・電圧上昇・停電の一部を含む値、または一部しか記録されていない値にはフラグを付け、すべての統計から"
     "除外しています。割合に対する値は最近順位法による百分位数です。"},
    {"Time", "時刻"},
    {"flagged interval", "フラグ付きの区間"},
    {"Line voltage {0}", "線間電圧 {0}"},
    {"3-s extremes", "3秒値の最大・最小"},
    {"10-min value", "10分値"},
    {"10-min mean", "10分平均"},
    {"10-s extremes", "10秒値の最大・最小"},
    {"Frequency", "周波数"},
    {"limit", "限度値"},
    {"Voltage unbalance u2", "電圧不平衡率 u2"},
    {"Total harmonic distortion of the line voltages", "線間電圧の総合高調波ひずみ率"},
    {"Short-term flicker severity Pst (10 min)", "短時間フリッカ Pst (10分)"},
    {"Long-term flicker severity Plt (2 h)", "長時間フリッカ Plt (2時間)"},
    {"Active power P of each circuit", "各回路の有効電力 P"},
    {"Reactive power Q of each circuit", "各回路の無効電力 Q"},
    {"Power factor of each circuit", "各回路の力率"},
    {"Circuit {0}", "回路{0}"},
    {"Line voltages: 10-min values, the band of the 3-s extremes, Udin and its limits",
     "線間電圧：10分値、3秒値の最大・最小の帯、Udin と限度値"},
    {"Frequency: 10-min means and the band of the 10-s values", "周波数：10分平均と10秒値の帯"},
    {"Voltage unbalance u2, 10-min values", "電圧不平衡率 u2 の10分値"},
    {"THD of the line voltages, 10-min values", "線間電圧 THD の10分値"},
    {"Flicker: Pst of each 10 minutes, Plt of each 2 hours", "フリッカ：10分ごとの Pst、2時間ごとの Plt"},
    {"Power of each circuit, 10-min means", "各回路の電力、10分平均"},
    {"Harmonic order", "高調波次数"},
    {"{0} % value of the 10-min harmonic voltages", "高調波電圧10分値の {0} % 値"},
    {"% of the fundamental", "基本波に対する %"},
    {"The {0} % value of the 10-min values of each order beside its limit", "各次数の10分値の {0} % 値と限度値"},
    {"Order", "次数"},
    {"Limit (%)", "限度値 (%)"},
    {"Harmonic subgroups in % of the fundamental; an empty cell lies above half the sampling frequency. The "
     "limit set gives no value where its cell is empty.",
     "高調波サブグループ (基本波に対する %)。空欄の測定値はサンプリング周波数の半分を超える次数、空欄の限度値は"
     "限度値セットに値のない次数です。"},
    {"Duration (s)", "継続時間 (s)"},
    {"Dips, swells and interruptions by magnitude and duration", "電圧低下・電圧上昇・停電の大きさと継続時間"},
    {"Voltage (% of Udin)", "電圧 (Udin に対する %)"},
    {"dip", "電圧低下"},
    {"swell", "電圧上昇"},
    {"interruption", "停電"},
    {"rapid voltage change", "急激な電圧変化"},
    {"Dips by residual voltage and duration", "残留電圧と継続時間による電圧低下の分類"},
    {"Swells by maximum voltage and duration", "最大電圧と継続時間による電圧上昇の分類"},
    {"Residual voltage u (% of Udin)", "残留電圧 u (Udin に対する %)"},
    {"Maximum voltage u (% of Udin)", "最大電圧 u (Udin に対する %)"},
    {"(beyond the table)", "(分類表の範囲外)"},
    {"Interruptions: {0} short (up to 3 min), {1} long.", "停電：短時間 (3分以下) {0} 回、長時間 {1} 回。"},
    {"Each dip, swell and interruption by its residual or maximum voltage and duration",
     "各電圧低下・電圧上昇・停電の残留電圧または最大電圧と継続時間"},
    {"All events", "イベント一覧"},
    {"Type", "種類"},
    {"Duration (ms)", "継続時間 (ms)"},
    {"Residual / maximum / delta Umax (V)", "残留 / 最大 / ΔUmax (V)"},
    {"(% of Udin)", "(Udin に対する %)"},
    {"Voltages", "対象電圧"},
    {"No event was found.", "イベントはありません。"},
    {"The recorded waveforms were measured by the methods of IEC 61000-4-30 (basic intervals of 10 cycles at 50 Hz "
     "or 12 at 60 Hz, resynchronised to each 10-minute clock tick; 3-s, 10-min and 2-h values as root mean "
     "squares), IEC 61000-4-7 (harmonic subgroups, THD from orders 2 to 40) and IEC 61000-4-15 (Pst, Plt). The "
     "program is not an instrument of class A; the methods are.",
     "記録された波形を IEC 61000-4-30 の方法 (50 Hz で10サイクル、60 Hz で12サイクルの基本区間を10分ごとの時刻に"
     "再同期し、3秒・10分・2時間値は二乗平均平方根)、IEC 61000-4-7 (高調波サブグループ、THD は2～40次) および "
     "IEC 61000-4-15 (Pst、Plt) で測定しました。本プログラムはクラス A の測定器ではありませんが、方法はそれに従います。"},
    {"Dips, swells and interruptions are found from Urms(1/2) against Udin (dip below 90 %, swell above 110 %, "
     "interruption below 10 %, hysteresis 2 %), one event for all three line voltages.",
     "電圧低下・電圧上昇・停電は Urms(1/2) を Udin と比べて検出しています (電圧低下 90 % 未満、電圧上昇 110 % 超、"
     "停電 10 % 未満、ヒステリシス 2 %)。3つの線間電圧で1つのイベントです。"},
    {"Dips are classified as in EN 50160 and IEC 61000-2-8 by residual voltage and duration; swells by maximum "
     "voltage and duration.",
     "電圧低下は EN 50160 および IEC 61000-2-8 に従い残留電圧と継続時間で、電圧上昇は最大電圧と継続時間で分類しています。"},
    {"Made by pqwave on {0}.", "pqwave により {0} に作成。"},
};
// clang-format on

std::mutex missingGuard;
std::set<std::string> missing;

const char* japaneseOf(const char* english) {
    static const std::unordered_map<std::string_view, const char*> table = [] {
        std::unordered_map<std::string_view, const char*> t;
        for (const Translation& text : kTexts) t.emplace(text.english, text.japanese);
        return t;
    }();
    const auto it = table.find(english);
    if (it != table.end()) return it->second;
    const std::lock_guard lock(missingGuard);
    missing.insert(english);
    return english;
}

bool isJapanese(std::string_view value) {
    return value.starts_with("ja") && (value.size() == 2 || value[2] == '_' || value[2] == '.');
}

}  // namespace

std::string reportText(Language language, const char* english) {
    return language == Language::Japanese ? japaneseOf(english) : english;
}

std::string reportText(Language language, const char* english, std::initializer_list<std::string_view> arguments) {
    return withArguments(reportText(language, english), arguments);
}

std::set<std::string> untranslatedReportTexts() {
    const std::lock_guard lock(missingGuard);
    return missing;
}

Language reportLanguageOfEnvironment() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (!value || !*value) continue;
        const std::string_view v(value);
        if (v == "C" || v == "POSIX" || v.starts_with("C.")) return Language::Japanese;
        return isJapanese(v) ? Language::Japanese : Language::English;
    }
    return Language::Japanese;
}

}  // namespace pqwave
