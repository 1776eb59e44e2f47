// A host that records what the model shows, and a model started as the program starts,
// pointed at a test folder.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "control/form1_model.h"
#include "control/host.h"
#include "support/test_folder.h"

namespace pqwave::testing {

class RecordingHost : public Form1Host {
public:
    struct Message {
        std::string title, text;
    };
    void showMessage(const std::string& title, const std::string& text) override { messages.push_back({title, text}); }
    void reportError(ErrorKind kind, const std::string& message) override {
        errors.push_back(message);
        errorKinds.push_back(kind);
    }
    void reportWarning(const std::string& message) override { warnings.push_back(message); }
    void setWaitCursor(bool on) override { waitCursorChanges.push_back(on); }

    std::vector<Message> messages;
    std::vector<std::string> errors;
    std::vector<ErrorKind> errorKinds;
    std::vector<std::string> warnings;
    std::vector<bool> waitCursorChanges;
};

// The model after start-up, its file list showing `folder`.
struct StartedModel {
    explicit StartedModel(const TestFolder& folder);
    RecordingHost host;
    Form1Model form;
    // Clicks a file of the folder, as a user does.
    void click(const std::string& fileName) { form.File1_Click(fileName); }
};

}  // namespace pqwave::testing
