#include "batch/file_statistics.h"

namespace pqwave {

void PowerFileStatistics::fold(const SummaryValues& r, int circuits, bool perPhase, bool first) {
    foldStatistic(VStat, r.v, first);
    for (int c = 0; c < circuits; ++c) {
        foldStatistic(IStat[c], r.i[c], first);
        foldStatistic(PStat[c], r.p[c], first);
        foldStatistic(QStat[c], r.q[c], first);
    }
    if (!perPhase) return;
    for (int k = 0; k < 3; ++k) {
        foldStatistic(VPhaseStat[k], r.phaseV[k], first);
        for (int c = 0; c < circuits; ++c) {
            foldStatistic(IPhaseStat[k][c], r.phaseI[c][k], first);
            foldStatistic(PPhaseStat[k][c], r.phaseP[c][k], first);
            foldStatistic(QPhaseStat[k][c], r.phaseQ[c][k], first);
        }
    }
}

}  // namespace pqwave
