// SPDX-License-Identifier: GPL-3.0-or-later
// The about window: the program's name, credits and picture. At start-up it plays the
// ball animation with no button and cannot be closed by the user; from "About" it is a
// modal box with an "OK" button and no animation.
#pragma once

#include "qt/boule.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace teravine {

class AboutWindow final : public QDialog {
public:
    enum class Mode { Startup, AboutBox };

    AboutWindow(Mode mode, QWidget* parent);

    // The animation: five seconds of passes, each repainted at once, no input handled.
    void boule();

    // Lets the start-up display close itself.
    void unload();

    QWidget* Shape1() const { return shape1_; }
    QWidget* Line1() const { return line1_; }
    QPushButton* ok() const { return ok_; }
    QLabel* Label1() const { return label1_; }
    QLabel* Label4() const { return label4_; }

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void centre_on_screen();
    void show_ball(const BallRun& run);

    Mode mode_;
    bool may_close_;
    QWidget* shape1_ = nullptr;
    QWidget* line1_ = nullptr;
    QPushButton* ok_ = nullptr;
    QLabel* label1_ = nullptr;
    QLabel* label4_ = nullptr;
};

// The start-up display: shown without being modal, the animation, then about two
// seconds that do handle events, then it goes.
void run_startup_display(QWidget* parent);

// The modal about box, until "OK".
void run_about_box(QWidget* parent);

} // namespace teravine
