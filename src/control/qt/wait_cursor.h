// The hourglass as the application's override cursor, set once at most: override cursors
// stack, and a run that ends early through an error must not leave one behind.
#pragma once

#include <QApplication>
#include <QCursor>

namespace pqwave {

class WaitCursor {
public:
    WaitCursor() = default;
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
    ~WaitCursor() { set(false); }

    bool on() const { return on_; }
    void set(bool on) {
        if (on == on_) return;
        on_ = on;
        if (on)
            QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        else
            QApplication::restoreOverrideCursor();
    }

private:
    bool on_ = false;
};

}  // namespace pqwave
