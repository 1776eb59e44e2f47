// The hourglass, and the progress caption of the main window (Label10: "データ読込中",
// "データ解析中", "データ変換中") when one is given, for the length of a load, a run or an
// export, however it ends. The caption shown before comes back afterwards.
#pragma once

#include <string>

namespace pqwave {

class Form1Model;

class BusyCaption {
public:
    explicit BusyCaption(Form1Model& form, const char* caption = nullptr);
    ~BusyCaption();
    BusyCaption(const BusyCaption&) = delete;
    BusyCaption& operator=(const BusyCaption&) = delete;

private:
    Form1Model& form_;
    std::string previousText_;
    bool previousVisible_ = false;
};

}  // namespace pqwave
