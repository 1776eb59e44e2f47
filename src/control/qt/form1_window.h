// The main window: a view of Form1Model. Every widget is made once and bound to its model
// control; a user action calls the model's handler and then refresh() copies caption, text,
// value, enabled and visible of every control back into its widget. No rule lives here: a
// widget never changes another widget, the model does and the view follows.
#pragma once

#include <QMainWindow>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "control/form1_model.h"
#include "control/qt/control_views.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;

namespace pqwave {

class Form1 : public QMainWindow {
    Q_OBJECT

public:
    explicit Form1(Form1Model& model, QWidget* parent = nullptr);

    // The model's start-up sequence (defaults, folder of the program, information message),
    // then the view of its result.
    void load(int currentYear);

    // Copies every control of the model, and the drive, folder and file lists, into the widgets.
    void refresh();

    // The bar shows while a run is under way; Escape then asks the run to stop.
    void showProgress(const Progress& progress);

    // The widget that shows a control, or nullptr for the few the model keeps only for its rules.
    QWidget* widgetFor(const Control& control) const;
    QComboBox* driveList() const { return driveList_; }
    QListWidget* folderList() const { return folderList_; }
    QListWidget* fileList() const { return fileList_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class LabelLook { Caption, Value };

    QLabel* makeLabel(Control& control, LabelLook look = LabelLook::Caption);
    QLineEdit* makeTextBox(Control& control, int widthInCharacters);

    QWidget* buildFileSelection();
    QWidget* buildHeaderDisplay();
    QWidget* buildChannelTable();
    QWidget* buildDataAndProcessing();
    QWidget* buildScaling();
    QWidget* buildRmsFrame();
    QWidget* buildCircuitFrames();
    QWidget* buildCompensationFrames();
    QWidget* buildRawOutputFrame();
    QWidget* buildFftFrame();
    QWidget* buildCommands();
    // Keyboard and assistive technology: every text box named by its caption, the lists by theirs.
    void nameForAssistiveTechnology();
    void openFileFromKeyboard();

    // Runs a user action on the model, reports what escapes it, and shows the result.
    void act(const std::function<void()>& action);
    void refreshLists();
    void fillFolderList();

    Form1Model& model_;
    ControlViews views_;

    QComboBox* driveList_ = nullptr;
    QLabel* folderPath_ = nullptr;
    QListWidget* folderList_ = nullptr;
    QListWidget* fileList_ = nullptr;
    QProgressBar* progress_ = nullptr;
    std::vector<std::string> shownDrives_;
    std::string shownFolder_;
    std::vector<std::string> shownFiles_;
};

}  // namespace pqwave
