// The first line and the column-header line of the RMS and power result file, for every
// combination of the main window's settings. The rows that follow (interval analysis or
// 10 ms analysis) write their fields in the same order.
#pragma once

#include <string>

namespace pqwave {

class Form1Model;

// Current circuits of the recording: a pair of channels each after the two voltages.
int circuitCount(const Form1Model& form);

// ",PT=60,ｸﾗﾝﾌﾟ1=200,…": the scaling part of line 1 when "実効値演算" is chosen.
std::string rmsScalingInformation(const Form1Model& form);

// Line 2 of the result file: "秒,V(V),I1(A),P1(kW),Q1(kVar)…", without the line end.
std::string rmsResultHeader(const Form1Model& form);

}  // namespace pqwave
