// The desktop side of the main-window model. Every box is modal with an OK button, as the
// model expects to carry on only after the user has read it.
#include "control/qt/qt_host.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QFontDatabase>
#include <QMessageBox>

namespace pqwave {

QString messageBoxText(const std::string& text) {
    QString out = QString::fromStdString(text);
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QChar(u'\r'), QChar(u'\n'));
    return out;
}

QString errorTitle(ErrorKind kind) {
    switch (kind) {
        case ErrorKind::CannotRead:
            return QStringLiteral("ファイルを読めません");
        case ErrorKind::Malformed:
            return QStringLiteral("ファイルの内容が正しくありません");
        case ErrorKind::CannotWrite:
            return QStringLiteral("ファイルを書けません");
        case ErrorKind::Arithmetic:
            return QStringLiteral("計算できません");
        case ErrorKind::NotRecognized:
            return QStringLiteral("認識できないファイル");
        case ErrorKind::NotAvailable:
            return QStringLiteral("この操作はできません");
        case ErrorKind::Cancelled:
            return QStringLiteral("中止しました");
    }
    return QStringLiteral("pqwave");
}

void QtHost::refreshView() {
    if (refreshView_) refreshView_();
}

void QtHost::showBox(QMessageBox::Icon icon, const QString& title, const QString& text) {
    refreshView();
    QWidget* parent = dialogParent_ ? dialogParent_.data() : QApplication::activeWindow();
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    // A box that comes up during a run must be answerable with a normal pointer.
    const bool waiting = waitCursor_.on();
    setWaitCursor(false);
    box.exec();
    setWaitCursor(waiting);
}

void QtHost::showMessage(const std::string& title, const std::string& text) {
    showBox(QMessageBox::Information, QString::fromStdString(title), messageBoxText(text));
}

void QtHost::reportError(ErrorKind kind, const std::string& message) {
    showBox(QMessageBox::Warning, errorTitle(kind), messageBoxText(message));
}

void QtHost::reportWarning(const std::string& message) {
    showBox(QMessageBox::Warning, QStringLiteral("警告"), messageBoxText(message));
}

void QtHost::reportFileProblem(const FileProblem& problem) {
    fileProblems_.push_back(problem);
}

// One message for the whole run, however many files had something to say.
void QtHost::allFilesRunEnded(const AllFilesTally& tally) {
    if (fileProblems_.empty()) return;
    QString text;
    for (const FileProblem& problem : fileProblems_)
        text += (problem.failed ? QStringLiteral("× ") : QStringLiteral("! ")) + messageBoxText(problem.message) +
                QChar(u'\n');
    fileProblems_.clear();
    QString title = QStringLiteral("警告");
    if (tally.failed > 0)
        title = QStringLiteral("%1 個のファイルを変換できませんでした").arg(tally.failed);
    else if (tally.skipped > 0)
        title = QStringLiteral("%1 個のファイルを飛ばしました").arg(tally.skipped);
    showBox(QMessageBox::Warning, title, text.trimmed());
}

void QtHost::setWaitCursor(bool on) {
    waitCursor_.set(on);
}

void QtHost::processEvents() {
    refreshView();
    // Repaint, but take no clicks: a click now would start a second handler on a model
    // that is half-way through the first.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtHost::endProgram() {
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}

void useJapaneseCapableFont(QApplication& application) {
    QFont font = QApplication::font();
    if (QFontDatabase::writingSystems(font.family()).contains(QFontDatabase::Japanese)) return;
    const QStringList families = QFontDatabase::families(QFontDatabase::Japanese);
    if (families.isEmpty()) return;  // nothing better is installed; fontconfig may still substitute
    // A proportional face reads better in labels and buttons than a fixed-pitch one.
    QString chosen = families.front();
    for (const QString& family : families) {
        if (!QFontDatabase::isFixedPitch(family)) {
            chosen = family;
            break;
        }
    }
    font.setFamily(chosen);
    application.setFont(font);
}

}  // namespace pqwave
