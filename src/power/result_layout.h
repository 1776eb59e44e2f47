// The first line and the column-header line of the RMS and power result file, for every
// combination of settings. The rows that follow (interval analysis or sliding analysis) are
// written by RowWriter in the same order.
#pragma once

#include <string>

#include "power/power_settings.h"

namespace pqwave {

// ",PT=60,ｸﾗﾝﾌﾟ1=200,…": the scaling part of line 1 when "実効値演算" is chosen.
std::string rmsScalingInformation(const PowerSettings& settings);

// Line 2 of the result file: "秒,V(V),I1(A),P1(kW),Q1(kVar)…", without the line end.
std::string rmsResultHeader(const PowerSettings& settings);

}  // namespace pqwave
