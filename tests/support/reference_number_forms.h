// The D, S and P text forms as the formatter wrote them before its digits were assembled in
// registers: the reference the formatter's tests and benchmarks compare it with. Each writes
// into a buffer with kMaxNumberText bytes free and returns the end.
#pragma once

namespace pqwave::reference {

char* appendD(char* out, double value);
char* appendS(char* out, float value);
char* appendP(char* out, double value);
char* appendPSingle(char* out, float value);

}  // namespace pqwave::reference
