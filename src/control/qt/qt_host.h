// What the main-window model asks of the desktop, done with Qt: modal message boxes, the
// wait cursor, yielding to the window system and ending the program. The host knows the
// view only to repaint it before it blocks or yields, so the user sees the model's state.
#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "control/host.h"
#include "control/qt/wait_cursor.h"

class QApplication;

namespace pqwave {

class QtHost : public Form1Host {
public:
    // Called before a message box or a yield, so the window shows the model as it is now.
    void setRefreshView(std::function<void()> refreshView) { refreshView_ = std::move(refreshView); }
    // The window message boxes are centred on; at start-up it may not be the active one yet.
    void setDialogParent(QWidget* parent) { dialogParent_ = parent; }

    void showMessage(const std::string& title, const std::string& text) override;
    void reportError(ErrorKind kind, const std::string& message) override;
    void reportWarning(const std::string& message) override;
    void reportFileProblem(const FileProblem& problem) override;
    void allFilesRunEnded(const AllFilesTally& tally) override;
    void setWaitCursor(bool on) override;
    void processEvents() override;
    void endProgram() override;

private:
    void refreshView();
    void showBox(QMessageBox::Icon icon, const QString& title, const QString& text);

    std::function<void()> refreshView_;
    QPointer<QWidget> dialogParent_;
    std::vector<FileProblem> fileProblems_;
    WaitCursor waitCursor_;
};

// The model writes line breaks as carriage returns alone; a message box needs line feeds.
QString messageBoxText(const std::string& text);

// The title of the box that reports a failure of this kind.
QString errorTitle(ErrorKind kind);

// Makes the application font one that holds Japanese, when the desktop's default does not:
// every caption of the main window is Japanese, and a Latin-only font shows empty boxes.
void useJapaneseCapableFont(QApplication& application);

}  // namespace pqwave
