// The main window's widgets in four columns, in the order a user works: file and commands,
// the header of the chosen recording with its channel table, data kind and processing, then
// the options of the processing. The columns take the width their contents need, so the whole
// window fits a 1024 x 768 screen; it sits in a scroll area, so a smaller one loses nothing.
#include "control/qt/form1_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <type_traits>

#include "common/error.h"
#include "common/failure.h"
#include "control/comtrade_export.h"
#include "control/file_lists.h"

namespace pqwave {
namespace {

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

// Text that belongs to the layout only (units, captions the model does not keep).
QLabel* fixedLabel(const QString& text) {
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QHBoxLayout* row(std::initializer_list<QWidget*> widgets, bool stretchAtEnd = true) {
    auto* layout = new QHBoxLayout;
    for (QWidget* widget : widgets) layout->addWidget(widget);
    if (stretchAtEnd) layout->addStretch(1);
    return layout;
}

QVBoxLayout* column(QWidget* owner) {
    auto* layout = new QVBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    return layout;
}

// A path is one long word: let it be cut at the column's edge instead of widening the window.
void showLongPath(QLabel* label) {
    label->setWordWrap(true);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

// The file list as the keyboard uses it: moving to a file reads its header as a click does,
// and Return opens it as a double click does.
class FileList : public QListWidget {
public:
    std::function<void()> onMove;
    std::function<void()> onReturn;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
            event->accept();
            if (onReturn) onReturn();
            return;
        }
        QListWidgetItem* before = currentItem();
        QListWidget::keyPressEvent(event);
        if (currentItem() && currentItem() != before && onMove) onMove();
    }
};

}  // namespace

Form1::Form1(Form1Model& model, QWidget* parent)
    : QMainWindow(parent), model_(model), views_([this](const std::function<void()>& action) { act(action); }) {
    setWindowTitle(QStringLiteral("pqwave"));
    setObjectName(QStringLiteral("Form1"));
    model_.progress.setObserver([this](const Progress& progress) { showProgress(progress); });

    auto* content = new QWidget;
    auto* columns = new QHBoxLayout(content);
    auto addColumn = [&](std::initializer_list<QWidget*> parts, int width) {
        auto* holder = new QWidget;
        auto* layout = column(holder);
        for (QWidget* part : parts) layout->addWidget(part);
        layout->addStretch(1);
        holder->setMinimumWidth(width);
        columns->addWidget(holder, 0, Qt::AlignTop);
    };
    // Only the file lists ask for more than their contents: a file name must not be cut.
    addColumn({buildFileSelection(), buildCommands()}, 200);
    addColumn({buildHeaderDisplay(), buildChannelTable()}, 0);
    addColumn({buildDataAndProcessing(), buildScaling()}, 0);
    addColumn({buildRmsFrame(), buildRawOutputFrame(), buildFftFrame()}, 0);
    columns->addStretch(1);

    auto* scroll = new QScrollArea;
    scroll->setWidget(content);
    scroll->setWidgetResizable(true);
    setCentralWidget(scroll);

    QSize wanted(1280, 800);
    if (QScreen* screen = QApplication::primaryScreen()) wanted = wanted.boundedTo(screen->availableGeometry().size());
    resize(wanted);
    nameForAssistiveTechnology();
    refresh();
}

// ---- Binding controls to widgets

QLabel* Form1::makeLabel(Control& control, LabelLook look) {
    QLabel* label = views_.label(control);
    if (look == LabelLook::Value) {
        // Sunken, as a read-out the instrument filled, and selectable so a value can be copied.
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("000000000000")));
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    return label;
}

QLineEdit* Form1::makeTextBox(Control& control, int widthInCharacters) {
    return views_.textBox(control, widthInCharacters);
}

QWidget* Form1::widgetFor(const Control& control) const {
    return views_.widgetFor(control);
}

// ---- Layout

QWidget* Form1::buildFileSelection() {
    auto* box = new QWidget;
    auto* layout = column(box);

    layout->addWidget(fixedLabel(QStringLiteral("ドライブ")));
    driveList_ = new QComboBox;
    driveList_->setObjectName(QStringLiteral("Drive1"));
    layout->addWidget(driveList_);
    connect(driveList_, &QComboBox::activated, this, [this](int index) {
        std::string drive = driveList_->itemText(index).toStdString();
        act([&] { model_.Drive1_Change(drive); });
    });

    layout->addWidget(fixedLabel(QStringLiteral("ディレクトリー")));
    folderPath_ = fixedLabel(QString());
    folderPath_->setObjectName(QStringLiteral("Dir1.Path"));
    showLongPath(folderPath_);
    layout->addWidget(folderPath_);
    folderList_ = new QListWidget;
    folderList_->setObjectName(QStringLiteral("Dir1"));
    folderList_->setMinimumHeight(120);
    layout->addWidget(folderList_, 1);
    connect(folderList_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        std::string path = item->data(Qt::UserRole).toString().toStdString();
        act([&] { model_.Dir1_Change(path); });
    });

    layout->addWidget(fixedLabel(QStringLiteral("ファイル")));
    auto* files = new FileList;
    files->onMove = [this] {
        std::string name = fileList_->currentItem()->data(Qt::UserRole).toString().toStdString();
        act([&] { model_.File1_Click(name); });
    };
    files->onReturn = [this] { openFileFromKeyboard(); };
    fileList_ = files;
    fileList_->setObjectName(QStringLiteral("File1"));
    fileList_->setMinimumHeight(180);
    layout->addWidget(fileList_, 2);
    connect(fileList_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        std::string name = item->data(Qt::UserRole).toString().toStdString();
        act([&] { model_.File1_Click(name); });
    });
    connect(fileList_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem*) { act([&] { model_.File1_DblClick(); }); });
    // Right-click on a file: writing it for other programs, beside the recording.
    fileList_->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* fileMenu = new QMenu(this);
    fileMenu->setObjectName(QStringLiteral("File1.Menu"));
    QAction* exportAction = fileMenu->addAction(QStringLiteral("COMTRADE形式で書き出し…"));
    connect(fileList_, &QListWidget::customContextMenuRequested, this, [this, fileMenu, exportAction](QPoint at) {
        QListWidgetItem* item = fileList_->itemAt(at);
        if (!item) return;
        exportAction->setData(item->data(Qt::UserRole));
        fileMenu->popup(fileList_->viewport()->mapToGlobal(at));
    });
    connect(exportAction, &QAction::triggered, this, [this, exportAction] {
        std::string name = exportAction->data().toString().toStdString();
        act([&] { exportComtradeBeside(model_, name); });
    });

    layout->addWidget(fixedLabel(QStringLiteral("選択ファイル名")));
    QLabel* selected = makeLabel(model_.Label1, LabelLook::Value);
    showLongPath(selected);
    layout->addWidget(selected);
    layout->addWidget(makeLabel(model_.Label11));
    layout->addWidget(makeTextBox(model_.Text5, 0));
    return box;
}

QWidget* Form1::buildHeaderDisplay() {
    auto* box = new QWidget;
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(2);
    int line = 0;
    auto add = [&](QLabel* caption, Control& value, QLabel* unit = nullptr) {
        grid->addWidget(caption, line, 0);
        grid->addWidget(makeLabel(value, LabelLook::Value), line, 1);
        if (unit) grid->addWidget(unit, line, 2);
        ++line;
    };
    add(makeLabel(model_.Label32), model_.Label15[4]);
    add(makeLabel(model_.Label6), model_.Label15[0]);
    add(makeLabel(model_.Label7), model_.Label15[1]);
    add(makeLabel(model_.Label8), model_.Label15[3]);
    add(makeLabel(model_.Label9), model_.Label15[2]);
    add(makeLabel(model_.Label27), model_.T_Div);
    add(fixedLabel(QStringLiteral("ｶｳﾝﾄ数 (/DIV)")), model_.V_Div);
    add(makeLabel(model_.Label19), model_.Label21, makeLabel(model_.Label20));
    add(makeLabel(model_.Label25[0]), model_.Label26, makeLabel(model_.Label25[1]));
    add(makeLabel(model_.LabelAN), model_.LabASn);
    add(makeLabel(model_.LabelN), model_.Lab1OutN);
    add(makeLabel(model_.LabelT), model_.LabSTim, makeLabel(model_.Label17[0]));
    grid->setColumnStretch(1, 1);
    return box;
}

QWidget* Form1::buildChannelTable() {
    auto* box = new QWidget;
    auto* layout = column(box);
    layout->addWidget(views_.checkBox(model_.Check16));
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(1);
    grid->addWidget(makeLabel(model_.Label29), 0, 2, 1, 2);
    for (int i = 0; i < kPositions; ++i) {
        // The name and the assignment editor share the first cell: one of them is hidden.
        auto* name = new QWidget;
        auto* nameRow = new QHBoxLayout(name);
        nameRow->setContentsMargins(0, 0, 0, 0);
        nameRow->addWidget(makeLabel(model_.Label12[i]));
        nameRow->addWidget(views_.comboBox(model_.Combo1[i]));
        nameRow->addWidget(views_.checkBox(model_.Check17[i]));
        nameRow->addStretch(1);
        grid->addWidget(name, i + 1, 0);
        grid->addWidget(makeLabel(model_.Label14[i], LabelLook::Value), i + 1, 1);
        grid->addWidget(makeTextBox(model_.Text3[i], 4), i + 1, 2);
        grid->addWidget(makeLabel(model_.Label30[i]), i + 1, 3);
    }
    grid->setColumnStretch(4, 1);
    layout->addLayout(grid);
    return box;
}

QWidget* Form1::buildDataAndProcessing() {
    auto* box = new QWidget;
    auto* layout = column(box);

    QGroupBox* processing = views_.frame(model_.Frame2);
    auto* processingLayout = new QVBoxLayout(processing);
    for (Control& option : model_.Option2) processingLayout->addWidget(views_.option(option));
    layout->addWidget(processing);

    QGroupBox* data = views_.frame(model_.Frame1);
    auto* dataLayout = new QVBoxLayout(data);
    for (Control& option : model_.Option1) dataLayout->addWidget(views_.option(option));
    dataLayout->addWidget(views_.checkBox(model_.Check11));
    dataLayout->addLayout(row({makeTextBox(model_.Text6, 5), fixedLabel(QStringLiteral("年"))}));
    layout->addWidget(data);
    return box;
}

QWidget* Form1::buildScaling() {
    // No frame around the grid: in raw-data and channel FFT modes every row is hidden, and an
    // empty box would be left standing.
    auto* box = new QWidget;
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(2);
    for (int i = 0; i < 8; ++i) {
        grid->addWidget(makeLabel(model_.Label13[i]), i, 0);
        grid->addWidget(makeTextBox(model_.Text7[i], 5), i, 1);
        grid->addWidget(makeLabel(model_.Label16[i]), i, 2);
    }
    return box;
}

QWidget* Form1::buildRmsFrame() {
    QGroupBox* frame = views_.frame(model_.Frame3);
    auto* layout = new QVBoxLayout(frame);
    layout->setSpacing(3);
    layout->addLayout(row({makeLabel(model_.LabelmS), makeTextBox(model_.Text1, 14), fixedLabel(QStringLiteral("ms")),
                           views_.option(model_.Option5[0]), views_.option(model_.Option5[1])}));
    layout->addLayout(
        row({views_.checkBox(model_.Check1), views_.checkBox(model_.Check3), views_.checkBox(model_.Check5)}));
    layout->addLayout(row({views_.checkBox(model_.Check13), views_.checkBox(model_.Check10)}));

    QGroupBox* perPhase = views_.frame(model_.Frame7);
    auto* perPhaseLayout = new QHBoxLayout(perPhase);
    perPhaseLayout->addWidget(views_.option(model_.Option3[0]));
    perPhaseLayout->addWidget(views_.option(model_.Option3[1]));
    layout->addLayout(row({views_.checkBox(model_.Check6), perPhase}));

    layout->addLayout(
        row({views_.checkBox(model_.Check2), views_.option(model_.Option4[0]), views_.option(model_.Option4[1])}));
    layout->addWidget(buildCircuitFrames());
    layout->addLayout(row({views_.checkBox(model_.Check12[0]), views_.checkBox(model_.Check12[1])}));
    layout->addWidget(buildCompensationFrames());
    return frame;
}

QWidget* Form1::buildCircuitFrames() {
    auto* box = new QWidget;
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(3);
    // Three to a row keep the column narrow enough for a 1024-pixel screen.
    constexpr int kPerRow = 3;
    for (int i = 0; i < kMaxCircuits; ++i) {
        QGroupBox* circuit = views_.frame(model_.Frame5[i]);
        auto* circuitLayout = new QVBoxLayout(circuit);
        circuitLayout->setSpacing(1);
        circuitLayout->setContentsMargins(4, 2, 4, 2);
        circuitLayout->addWidget(views_.checkBox(model_.Check7[i]));
        circuitLayout->addWidget(views_.checkBox(model_.Check8[i]));
        circuitLayout->addWidget(views_.checkBox(model_.Check9[i]));
        grid->addWidget(circuit, i / kPerRow, i % kPerRow);
    }
    return box;
}

QWidget* Form1::buildCompensationFrames() {
    auto* box = new QWidget;
    auto* layout = column(box);

    QGroupBox* before = views_.frame(model_.Frame6[0]);
    auto* beforeGrid = new QGridLayout(before);
    beforeGrid->addWidget(makeLabel(model_.Label33), 0, 0);
    beforeGrid->addWidget(makeTextBox(model_.Text8[0], 3), 0, 2);
    for (int k : {0, 1}) {
        beforeGrid->addWidget(makeLabel(model_.Label34[k]), k + 1, 0);
        beforeGrid->addWidget(makeLabel(model_.Label35[k]), k + 1, 1);
        beforeGrid->addWidget(makeTextBox(model_.Text9[k], 8), k + 1, 2);
    }
    beforeGrid->setColumnStretch(3, 1);
    layout->addWidget(before);

    QGroupBox* theoretical = views_.frame(model_.Frame6[1]);
    auto* theoreticalGrid = new QGridLayout(theoretical);
    // One feeder caption serves both frames in the model; the second frame needs its own text.
    theoreticalGrid->addWidget(fixedLabel(qt(model_.Label33.text)), 0, 0);
    theoreticalGrid->addWidget(makeTextBox(model_.Text8[1], 3), 0, 2);
    theoreticalGrid->addWidget(makeLabel(model_.Label34[3]), 1, 0);
    theoreticalGrid->addWidget(makeLabel(model_.Label35[3]), 1, 1);
    theoreticalGrid->addWidget(makeTextBox(model_.Text9[3], 8), 1, 2);
    theoreticalGrid->setColumnStretch(3, 1);
    layout->addWidget(theoretical);
    return box;
}

QWidget* Form1::buildRawOutputFrame() {
    QGroupBox* frame = views_.frame(model_.Frame4);
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(views_.checkBox(model_.Check15));
    layout->addWidget(makeLabel(model_.Label22));
    layout->addLayout(row({makeTextBox(model_.Text2[0], 9), makeLabel(model_.Label23[0]),
                           makeTextBox(model_.Text2[1], 9), makeLabel(model_.Label23[1])}));
    layout->addLayout(row({makeLabel(model_.Label13a), makeTextBox(model_.Text4, 6)}));
    layout->addLayout(row({makeLabel(model_.Label23[3]), makeLabel(model_.Label24, LabelLook::Value)}));
    return frame;
}

QWidget* Form1::buildFftFrame() {
    auto* box = new QWidget;
    auto* layout = column(box);
    layout->addWidget(views_.checkBox(model_.Check4));

    QGroupBox* frame = views_.frame(model_.Frame8);
    auto* grid = new QGridLayout(frame);
    grid->setVerticalSpacing(3);
    grid->addWidget(makeLabel(model_.Label36[1]), 0, 0);
    grid->addLayout(row({makeTextBox(model_.Text11, 3), fixedLabel(QStringLiteral("=")),
                         makeLabel(model_.Label38[1], LabelLook::Value)}),
                    0, 1);
    grid->addWidget(fixedLabel(QStringLiteral("Dt")), 1, 0);
    grid->addLayout(row({makeLabel(model_.Label38[0], LabelLook::Value), makeLabel(model_.Label37[3])}), 1, 1);
    grid->addWidget(makeLabel(model_.Label36[0]), 2, 0);
    grid->addLayout(row({makeTextBox(model_.Text10[0], 6), makeLabel(model_.Label37[0]),
                         makeTextBox(model_.Text10[1], 6), makeLabel(model_.Label37[1])}),
                    2, 1);
    // Text12 is the step between window starts; Text10(2) is the band width that
    // "分割周期設定" switches on, so each sits beside what explains it.
    grid->addWidget(makeLabel(model_.Label36[2]), 3, 0);
    grid->addLayout(row({makeTextBox(model_.Text12, 6), fixedLabel(QStringLiteral("ms"))}), 3, 1);
    grid->addWidget(views_.checkBox(model_.Check14), 4, 0);
    grid->addLayout(row({makeTextBox(model_.Text10[2], 10), makeLabel(model_.Label37[2])}), 4, 1);
    layout->addWidget(frame);
    return box;
}

QWidget* Form1::buildCommands() {
    auto* box = new QWidget;
    auto* layout = column(box);
    auto* grid = new QGridLayout;
    grid->addWidget(views_.button(model_.Command1), 0, 0);
    grid->addWidget(views_.button(model_.PqCommand), 0, 1);
    grid->addWidget(views_.button(model_.Command3), 1, 0);
    grid->addWidget(views_.button(model_.Command2), 1, 1);
    grid->addWidget(views_.button(model_.Command4), 2, 0);
    grid->addWidget(views_.button(model_.Command10), 2, 1);
    grid->addWidget(views_.button(model_.ReportCommand), 3, 0);
    grid->addWidget(views_.button(model_.TrendCommand), 3, 1);
    layout->addLayout(grid);
    // The power-quality command's two choices, under it on one line so the window keeps to 768 rows.
    layout->addLayout(row({makeLabel(model_.PqVoltsLabel), makeTextBox(model_.PqVolts, 7),
                           makeLabel(model_.PqIntervalLabel), views_.comboBox(model_.PqInterval)}));
    layout->addWidget(makeLabel(model_.Label10));
    progress_ = new QProgressBar;
    progress_->setObjectName(QStringLiteral("Progress"));
    progress_->setRange(0, 1000);
    progress_->setFormat(QStringLiteral("%p%  (Escで中止)"));
    progress_->setVisible(false);
    layout->addWidget(progress_);
    return box;
}

// ---- Model to view

void Form1::load(int currentYear) {
    act([&] { model_.Form_Load(currentYear); });
    // After the start-up message the user picks a file first.
    fileList_->setFocus(Qt::OtherFocusReason);
}

void Form1::openFileFromKeyboard() {
    std::string name = fileList_->currentItem()->data(Qt::UserRole).toString().toStdString();
    act([&] {
        model_.File1_Click(name);
        model_.File1_DblClick();
    });
}

void Form1::nameForAssistiveTechnology() {
    auto caption = [](const Control& c) { return qt(c.text); };
    auto name = [this](const Control& box, const QString& text) {
        if (QWidget* widget = widgetFor(box)) widget->setAccessibleName(text);
    };
    const Form1Model& m = model_;
    name(m.Text5, caption(m.Label11));
    name(m.Text6, caption(m.Check11) + QStringLiteral(" 年"));
    name(m.Text1, caption(m.LabelmS) + QStringLiteral(" (ms)"));
    name(m.Text4, caption(m.Label22) + QStringLiteral(" ") + caption(m.Label13a));
    name(m.Text2[0], caption(m.Label22) + QStringLiteral(" 開始 (回)"));
    name(m.Text2[1], caption(m.Label22) + QStringLiteral(" 終了 (回)"));
    for (int i = 0; i < kPositions; ++i)
        name(m.Text3[i], caption(m.Label29) + QStringLiteral(" ch%1 (").arg(i + 1) + caption(m.Label30[i]) + ")");
    name(m.Text7[0], caption(m.Label13[0]) + QStringLiteral(" (") + caption(m.Label16[0]) + ")");
    for (int i = 1; i < 8; ++i)
        name(m.Text7[i], caption(m.Label13[i]) + QStringLiteral(" 回路%1 (").arg(i) + caption(m.Label16[i]) + ")");
    for (int k = 0; k < 2; ++k) name(m.Text8[k], caption(m.Frame6[k]) + QStringLiteral(" ") + caption(m.Label33));
    for (int k : {0, 1, 3}) name(m.Text9[k], caption(m.Label34[k]));
    name(m.Text11, caption(m.Label36[1]));
    name(m.Text10[0], caption(m.Label36[0]) + QStringLiteral(" 下限 (") + caption(m.Label37[1]) + ")");
    name(m.Text10[1], caption(m.Label36[0]) + QStringLiteral(" 上限 (") + caption(m.Label37[1]) + ")");
    name(m.Text10[2], caption(m.Check14) + QStringLiteral(" (") + caption(m.Label37[2]) + ")");
    name(m.Text12, caption(m.Label36[2]) + QStringLiteral(" (ms)"));
    name(m.PqVolts, caption(m.PqCommand) + QStringLiteral(" ") + caption(m.PqVoltsLabel));
    name(m.PqInterval, caption(m.PqCommand) + QStringLiteral(" ") + caption(m.PqIntervalLabel));
    driveList_->setAccessibleName(QStringLiteral("ドライブ"));
    folderList_->setAccessibleName(QStringLiteral("ディレクトリー"));
    fileList_->setAccessibleName(QStringLiteral("ファイル"));
}

void Form1::act(const std::function<void()>& action) {
    // Qt cannot carry an exception through its event loop; the user learns of it here.
    reportingFailure(model_.Label1.text.empty() ? std::string("pqwave") : model_.Label1.text, action,
                     [this](const Failure& failure) {
                         model_.host().setWaitCursor(false);
                         model_.progress.clearCancel();
                         model_.host().reportError(failure.kind, failure.message);
                     });
    refresh();
}

void Form1::refresh() {
    views_.refresh();
    refreshLists();
}

void Form1::refreshLists() {
    if (model_.Drive1.drives != shownDrives_) {
        const QSignalBlocker blocker(driveList_);
        driveList_->clear();
        for (const std::string& drive : model_.Drive1.drives) driveList_->addItem(qt(drive));
        shownDrives_ = model_.Drive1.drives;
    }
    {
        const QSignalBlocker blocker(driveList_);
        driveList_->setCurrentIndex(driveList_->findText(qt(model_.Drive1.drive)));
    }

    if (model_.Dir1.path != shownFolder_) fillFolderList();

    const QSignalBlocker blocker(fileList_);
    if (model_.File1.names != shownFiles_) {
        fileList_->clear();
        for (const std::string& name : model_.File1.names) {
            auto* item = new QListWidgetItem(qt(name), fileList_);
            item->setData(Qt::UserRole, qt(name));
        }
        shownFiles_ = model_.File1.names;
    }
    QListWidgetItem* selected = nullptr;
    for (int i = 0; i < fileList_->count() && !model_.File1.fileName.empty(); ++i)
        if (model_.File1.names[i] == model_.File1.fileName) selected = fileList_->item(i);
    if (selected) {
        fileList_->setCurrentItem(selected);
    } else {
        fileList_->clearSelection();
        fileList_->setCurrentItem(nullptr);
    }
}

void Form1::fillFolderList() {
    const QSignalBlocker blocker(folderList_);
    const std::string& path = model_.Dir1.path;
    shownFolder_ = path;
    folderPath_->setText(qt(path));
    folderPath_->setToolTip(qt(path));
    folderList_->clear();
    const QIcon folderIcon = style()->standardIcon(QStyle::SP_DirIcon);
    auto addEntry = [&](const QString& text, const std::filesystem::path& target) {
        auto* item = new QListWidgetItem(folderIcon, text, folderList_);
        item->setData(Qt::UserRole, QString::fromStdString(target.string()));
    };
    if (path.empty()) return;
    std::filesystem::path folder(path);
    std::filesystem::path parent = folder.has_relative_path() && !folder.has_filename()
                                       ? folder.parent_path().parent_path()  // "/data/" names "/data"
                                       : folder.parent_path();
    if (parent != folder && !parent.empty()) addEntry(QStringLiteral(".."), parent);
    for (const std::string& name : listSubfolders(path)) addEntry(qt(name), joinFolder(path, name));
}

void Form1::showProgress(const Progress& progress) {
    progress_->setValue(static_cast<int>(std::clamp(progress.fraction(), 0.0, 1.0) * 1000));
    if (progress_->isHidden() == progress.running()) progress_->setVisible(progress.running());
    if (!progress.running()) return;
    // Let the window repaint and see Escape; every other click or key waits for the run's end,
    // since a second handler must not start on a model half-way through the first.
    qApp->installEventFilter(this);
    QCoreApplication::processEvents();
    qApp->removeEventFilter(this);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) model_.progress.requestCancel();
            return true;
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
            return true;
        default:
            return QMainWindow::eventFilter(watched, event);
    }
}

}  // namespace pqwave
