#include "control/busy_caption.h"

#include "control/form1_model.h"

namespace pqwave {

BusyCaption::BusyCaption(Form1Model& form, const char* caption)
    : form_(form), previousText_(form.Label10.text), previousVisible_(form.Label10.visible) {
    form_.host().setWaitCursor(true);
    if (!caption) return;
    setText(form_.Label10, caption);
    form_.Label10.visible = true;
    form_.host().processEvents();
}

BusyCaption::~BusyCaption() {
    setText(form_.Label10, previousText_);
    form_.Label10.visible = previousVisible_;
    form_.host().setWaitCursor(false);
}

}  // namespace pqwave
