#include "power/result_layout.h"

#include <algorithm>

#include "common/textforms.h"
#include "control/form1_model.h"

namespace pqwave {

int circuitCount(const Form1Model& form) {
    return std::clamp(form.ChannelCount / 2 - 1, 0, kMaxCircuits);
}

std::string rmsScalingInformation(const Form1Model& form) {
    std::string text = ",PT=" + form.Text7[0].text;
    for (int i = 1; i <= circuitCount(form); ++i) text += ",ｸﾗﾝﾌﾟ" + formI(i) + "=" + form.Text7[i].text;
    return text;
}

std::string rmsResultHeader(const Form1Model& form) {
    const int circuits = circuitCount(form);
    const bool fundamental = isChecked(form.Check1);
    std::string h = fundamental ? "秒,V(V),基本(V)" : "秒,V(V)";
    for (int i = 1; i <= circuits; ++i) {
        h += ",I" + formI(i) + "(A)";
        if (fundamental) h += ",基本" + formI(i) + "(A)";
    }
    for (int i = 1; i <= circuits; ++i) h += ",P" + formI(i) + "(kW),Q" + formI(i) + "(kVar)";
    if (isChecked(form.Check3)) {
        h += ",5次(V)";
        for (int i = 1; i <= circuits; ++i) h += ",5次" + formI(i) + "(A)";
        for (int i = 1; i <= circuits; ++i) h += ",5r" + formI(i) + "(ﾟ)";
    }
    if (isChecked(form.Check6)) {
        h += isSelected(form.Option3[0]) ? ",Vuv,Vvw,Vuw" : ",Vu,Vv,Vw";
        for (int i = 1; i <= circuits; ++i) {
            std::string n = formI(i);
            h += ",I" + n + "u,I" + n + "v,I" + n + "w,P" + n + "u,P" + n + "v,P" + n + "w,Q" + n + "u,Q" + n + "v,Q" +
                 n + "w";
        }
    }
    if (isChecked(form.Check12[0])) h += ",補償前V";
    if (isChecked(form.Check12[1])) h += ",理論補償値";
    for (int i = 1; i <= form.LogicChannelCount; ++i) h += ",Log" + formI(i);
    if (form.Check5.enabled && isChecked(form.Check5)) h += ",周波数";
    return h;
}

}  // namespace pqwave
