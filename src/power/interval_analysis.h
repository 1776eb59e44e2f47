// PQOut0ms: one result row per output interval of the loaded three-phase recording.
#pragma once

namespace pqwave {

class Form1Model;
class TextOutputFile;

void PQOut0ms(Form1Model& form, TextOutputFile* file);

}  // namespace pqwave
