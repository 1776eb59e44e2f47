#include "support/recording_host.h"

namespace pqwave::testing {

StartedModel::StartedModel(const TestFolder& folder) : form(folder.path(), &host) {
    form.Form_Load(2026);
    form.Dir1_Change(folder.path().string());
}

}  // namespace pqwave::testing
