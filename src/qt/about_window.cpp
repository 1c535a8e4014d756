// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/about_window.h"

#include "qt/about_art.h"
#include "teravine_version.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace teravine {

namespace {

constexpr QSize kWindowSize(440, 290);
constexpr int kBallDiameter = 9;
constexpr int kWaitAfterBouleMs = 2000;
// Paints reach the screen through the event queue; let them through this often.
constexpr qint64 kFlushEveryMs = 15;

const char* const kLabel1Lines[] = {"Teravine project", "Clay mineralogy tools",
                                    "Illite crystallinity from XRD", "Free software"};
const char* const kLabel4Lines[] = {"Peak widths of air-dried and", "glycolated preparations",
                                    "give k, N, %S and Nfp", "for Reichweite R0, R1, R3",
                                    "on one diagram"};

// A widget that paints one thing with a given pen or brush.
class Painted final : public QWidget {
public:
    enum class Kind { Ball, Line, Frame };
    Painted(Kind kind, QWidget* parent) : QWidget(parent), kind_(kind) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        switch (kind_) {
        case Kind::Ball:
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(170, 40, 30));
            p.drawEllipse(rect().adjusted(0, 0, -1, -1));
            break;
        case Kind::Line:
            p.setPen(QPen(QColor(20, 60, 160), 2));
            p.drawLine(QPointF(0, height() / 2.0), QPointF(width(), height() / 2.0));
            break;
        case Kind::Frame:
            p.setPen(QPen(QColor(120, 120, 120), 1));
            p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
            break;
        }
    }

private:
    Kind kind_;
};

QLabel* text_label(QWidget* parent, const QString& text, const QString& family, double points,
                   bool bold, bool italic, QPoint at) {
    auto* label = new QLabel(text, parent);
    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    label->setFont(font);
    label->adjustSize();
    label->move(at);
    return label;
}

template <std::size_t N> QString lines(const char* const (&items)[N]) {
    QStringList out;
    for (const char* item : items) {
        out << QString::fromUtf8(item);
    }
    return out.join(QLatin1Char('\n'));
}

} // namespace

AboutWindow::AboutWindow(Mode mode, QWidget* parent)
    : QDialog(parent), mode_(mode), may_close_(mode == Mode::AboutBox) {
    setWindowTitle(QStringLiteral("About Teravine"));
    if (mode == Mode::Startup) {
        // No close button: the display goes by itself.
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    }
    setFixedSize(kWindowSize);
    setAutoFillBackground(true);

    auto* picture = new QLabel(this);
    picture->setPixmap(QPixmap::fromImage(about_picture(QSize(150, 170))));
    picture->setGeometry(15, 75, 150, 170);

    line1_ = new Painted(Painted::Kind::Line, this);
    line1_->setGeometry(20, 52, 135, 6);
    shape1_ = new Painted(Painted::Kind::Ball, this);
    shape1_->setGeometry(131, 15, kBallDiameter, kBallDiameter);
    auto* shape2 = new Painted(Painted::Kind::Frame, this);
    shape2->setGeometry(175, 84, 250, 158);
    shape2->lower();

    text_label(this, QStringLiteral("TERAVINE"), QStringLiteral("Arial"), 24, true, true,
               QPoint(175, 12));
    text_label(this, QStringLiteral("Written for clay mineralogists by the Teravine project"),
               QStringLiteral("Times New Roman"), 8.25, true, false, QPoint(175, 58));
    label1_ = text_label(this, lines(kLabel1Lines), QStringLiteral("Arial"), 9.75, true, false,
                         QPoint(185, 92));
    label4_ = text_label(this, lines(kLabel4Lines), QStringLiteral("Arial"), 8.25, false, false,
                         QPoint(185, 168));

    // The version and the licence, below the framed texts and beside the button.
    text_label(
        this,
        QStringLiteral("Version %1\nLicence: GPL-3.0-or-later").arg(QString::fromLatin1(kVersion)),
        QStringLiteral("Arial"), 8, false, false, QPoint(175, 248));

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setGeometry(345, 252, 80, 26);
    ok_->setVisible(mode == Mode::AboutBox);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

    centre_on_screen();
}

void AboutWindow::centre_on_screen() {
    const QScreen* screen = parentWidget() != nullptr && parentWidget()->screen() != nullptr
                                ? parentWidget()->screen()
                                : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->geometry();
    move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
}

void AboutWindow::show_ball(const BallRun& run) {
    shape1_->move(static_cast<int>(run.u), static_cast<int>(run.v));
    line1_->setVisible(run.line_visible);
    repaint();
}

void AboutWindow::boule() {
    QElapsedTimer clock;
    clock.start();
    QElapsedTimer since_flush;
    since_flush.start();
    BallRun run;
    play_boule(
        run, [&clock] { return static_cast<double>(clock.nsecsElapsed()) * 1e-9; },
        [&](const BallRun& now) {
            show_ball(now);
            if (since_flush.elapsed() >= kFlushEveryMs) {
                // Paints and window-system housekeeping only: no click, key or close.
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                since_flush.restart();
            }
        });
}

void AboutWindow::unload() {
    may_close_ = true;
    close();
}

void AboutWindow::reject() {
    if (may_close_) {
        QDialog::reject();
    }
}

void AboutWindow::closeEvent(QCloseEvent* event) {
    if (may_close_) {
        event->accept();
    } else {
        event->ignore();
    }
}

void run_startup_display(QWidget* parent) {
    AboutWindow logo(AboutWindow::Mode::Startup, parent);
    logo.show();
    logo.boule();
    QEventLoop wait;
    QTimer::singleShot(kWaitAfterBouleMs, &wait, &QEventLoop::quit);
    wait.exec();
    logo.unload();
}

void run_about_box(QWidget* parent) {
    AboutWindow logo(AboutWindow::Mode::AboutBox, parent);
    logo.exec();
}

} // namespace teravine
