#include "power/result_layout.h"

#include "common/textforms.h"

namespace pqwave {

std::string rmsScalingInformation(const PowerSettings& s) {
    std::string text = ",PT=" + s.ptText;
    for (int i = 1; i <= s.circuits; ++i) text += ",ｸﾗﾝﾌﾟ" + formI(i) + "=" + s.clampTexts[i - 1];
    return text;
}

std::string rmsResultHeader(const PowerSettings& s) {
    const int circuits = s.circuits;
    std::string h = s.fundamental ? "秒,V(V),基本(V)" : "秒,V(V)";
    for (int i = 1; i <= circuits; ++i) {
        h += ",I" + formI(i) + "(A)";
        if (s.fundamental) h += ",基本" + formI(i) + "(A)";
    }
    for (int i = 1; i <= circuits; ++i) h += ",P" + formI(i) + "(kW),Q" + formI(i) + "(kVar)";
    if (s.fifth) {
        h += ",5次(V)";
        for (int i = 1; i <= circuits; ++i) h += ",5次" + formI(i) + "(A)";
        for (int i = 1; i <= circuits; ++i) h += ",5r" + formI(i) + "(ﾟ)";
    }
    if (s.perPhase) {
        h += s.lineVoltages ? ",Vuv,Vvw,Vuw" : ",Vu,Vv,Vw";
        for (int i = 1; i <= circuits; ++i) {
            std::string n = formI(i);
            h += ",I" + n + "u,I" + n + "v,I" + n + "w,P" + n + "u,P" + n + "v,P" + n + "w,Q" + n + "u,Q" + n + "v,Q" +
                 n + "w";
        }
    }
    if (s.compensation) h += ",補償前V";
    if (s.theoretical) h += ",理論補償値";
    for (int i = 1; i <= s.logicChannelCount; ++i) h += ",Log" + formI(i);
    if (s.frequency) h += ",周波数";
    return h;
}

}  // namespace pqwave
