// The display commands: load the selected file's samples unless they are in memory, then ask
// the host to show the waveform or vector window in place of the main window. The windows
// themselves live above this layer; the host knows them.
#include "common/failure.h"
#include "control/form1_model.h"

namespace pqwave {

namespace {

// Loads the samples when another file is selected; false when the load failed (reported).
bool samplesInMemory(Form1Model& form) {
    const bool loaded = reportingFailure(
        form.Label1.text, [&form] { form.loadSelectedFile(); },
        [&form](const Failure& failure) { form.host().reportError(failure.kind, failure.message); });
    return loaded && form.loadedRecording() != nullptr;
}

}  // namespace

void Form1Model::Command2_Click() {
    if (samplesInMemory(*this)) host_->showWaveformWindow();
}
void Form1Model::Command4_Click() {
    if (samplesInMemory(*this)) host_->showVectorWindow();
}

}  // namespace pqwave
