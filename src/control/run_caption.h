// The hourglass and the progress caption (Label10) for the length of a run, however it ends.
#pragma once

#include <string>

#include "control/form1_model.h"

namespace pqwave {

class RunCaption {
public:
    RunCaption(Form1Model& form, const std::string& caption) : form_(form) {
        form_.host().setWaitCursor(true);
        setText(form_.Label10, caption);
        form_.Label10.visible = true;
        form_.host().processEvents();
    }
    ~RunCaption() {
        form_.Label10.visible = false;
        form_.host().setWaitCursor(false);
    }
    RunCaption(const RunCaption&) = delete;
    RunCaption& operator=(const RunCaption&) = delete;

private:
    Form1Model& form_;
};

}  // namespace pqwave
