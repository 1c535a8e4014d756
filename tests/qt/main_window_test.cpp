// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/main_window.h"
#include "qt/picture_box.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

namespace teravine {
namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.show();
        window.start();
    }

    const TeravState& state() { return window.terav().state(); }
    PictureBox* picture() const { return window.controls().pct1; }

    // Where the widths lie on the picture widget, in its pixels.
    QPoint on_picture(float ad, float eg) {
        const PlotWindow& p = state().plot;
        const QPointF at = picture()->surface().to_device(
            x_to_surface(ad, p.xmin, p.xorig, p.xunit), y_to_surface(eg, p.ymin, p.yorig, p.yunit));
        return at.toPoint();
    }

    void click_picture(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseMove(picture(), at);
        QTest::mouseClick(picture(), button, Qt::NoModifier, at);
    }

    // Answers the next modal message box, keeping its title and text.
    void answer_next_box(QMessageBox::StandardButton answer) {
        QTimer::singleShot(0, [this, answer] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            box_title = box->windowTitle();
            box_text = box->text();
            box->button(answer)->click();
        });
    }

    MainWindow window{MainWindow::Options{false}};
    QString box_title;
    QString box_text;
};

std::vector<QString> captions_of(const QList<QAction*>& actions) {
    std::vector<QString> out;
    for (const QAction* action : actions) {
        out.push_back(action->text());
    }
    return out;
}

TEST_F(MainWindowTest, StartsWithItsCaptionMenusAndOptions) {
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Teravine: R0"));

    const QList<QAction*> menus = window.menuBar()->actions();
    EXPECT_EQ(captions_of(menus),
              (std::vector<QString>{"File", "Edit", "Reichweite", "Grid Lines", "Draw", "Info"}));
    const std::vector<std::vector<QString>> items{
        {"Treat File", "Print", "Close", "Measure Patterns…"},
        {"Copy to clipboard", "Clear ALL", "Clear Points"},
        {"R0", "R1", "R3"},
        {"Constant k", "Constant N", "Constant %S", "Approx. constant Nfp", "Export Constant line"},
        {"Identical k", "Identical N", "Identical %S", "Approx. Identical Nfp"},
        {"About"}};
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(captions_of(menus[static_cast<qsizetype>(i)]->menu()->actions()), items[i]);
    }

    EXPECT_EQ(window.menus().checks.size(), 11u);
    for (const auto& [item, action] : window.menus().checks) {
        EXPECT_EQ(action->isChecked(), item == MenuItem::R_0 || item == MenuItem::C_k);
    }

    const WindowControls& c = window.controls();
    EXPECT_EQ(c.Frame1->title(), QStringLiteral("Single value selected instrumental effect"));
    EXPECT_EQ(c.Frame1->geometry(), QRect(0, 0, 617, 81));
    EXPECT_TRUE(c.option(BroadeningOption::Mixture)->isChecked());
    EXPECT_EQ(c.option(BroadeningOption::FileTable)->text(), QStringLiteral("File table"));
    EXPECT_EQ(c.Command1->text(), QStringLiteral("Draw"));
    EXPECT_TRUE(c.Command1->font().bold());
    EXPECT_EQ(c.pct1->pos(), QPoint(1, 87));
    EXPECT_EQ(c.pct1->legy()->text(), QStringLiteral("IW2g"));
    EXPECT_EQ(c.pct1->legx()->text(), QString::fromUtf8("IW2w (\u00B0CuKalpha)"));
    EXPECT_EQ(state().broadening.broad_rule, 2);
}

TEST_F(MainWindowTest, MenuChecksAreTheHandlersState) {
    QAction* n = window.menus().item(MenuItem::C_N);
    n->trigger();
    EXPECT_TRUE(n->isChecked());
    EXPECT_TRUE(state().grids_on.n);
    n->trigger();
    EXPECT_FALSE(n->isChecked());
    EXPECT_FALSE(state().grids_on.n);

    // Choosing the Reichweite already chosen leaves its mark on.
    QAction* r1 = window.menus().item(MenuItem::R_1);
    r1->trigger();
    r1->trigger();
    EXPECT_TRUE(r1->isChecked());
    EXPECT_FALSE(window.menus().item(MenuItem::R_0)->isChecked());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Teravine: R1"));
}

TEST_F(MainWindowTest, ClickInsideTheModelAddsAndMarksASample) {
    const QPoint at = on_picture(0.5f, 0.4f);
    QTest::mouseMove(picture(), at);
    EXPECT_TRUE(window.controls().XYpos->text().startsWith(QStringLiteral("AD IW: .")));
    EXPECT_EQ(picture()->cursor().shape(), Qt::CrossCursor);
    click_picture(at);
    ASSERT_EQ(state().samples.size(), 1u);
    EXPECT_NEAR(state().samples.front().record.iw_ad, 0.5f, 0.01f);
    EXPECT_EQ(picture()->image().pixelColor(at), QColor(Qt::black));

    // Above the diagonal is outside the model; a right click identifies nothing.
    click_picture(on_picture(0.3f, 0.9f));
    click_picture(on_picture(0.6f, 0.45f), Qt::RightButton);
    EXPECT_EQ(state().samples.size(), 1u);

    QTest::mouseMove(picture(), QPoint(2, 2)); // outside the frame
    EXPECT_EQ(picture()->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(MainWindowTest, TypedWidthsAndOptionsReachTheHandlers) {
    const WindowControls& c = window.controls();
    c.Xls->setText(QStringLiteral("0.5"));
    c.Yls->setText(QStringLiteral("0.4"));
    QTest::mouseClick(c.Command1, Qt::LeftButton);
    EXPECT_EQ(state().samples.size(), 1u);

    QTest::mouseClick(c.option(BroadeningOption::Gaussian), Qt::LeftButton);
    EXPECT_EQ(state().broadening.broad_rule, 0);
    EXPECT_TRUE(c.option(BroadeningOption::Gaussian)->isChecked());
}

TEST_F(MainWindowTest, QuittingAsksFirst) {
    answer_next_box(QMessageBox::No);
    window.menus().close_form->trigger();
    EXPECT_EQ(box_title, QStringLiteral("Message"));
    EXPECT_EQ(box_text, QStringLiteral("Are you sure you want to quit!"));
    EXPECT_TRUE(window.isVisible());

    answer_next_box(QMessageBox::No);
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());

    answer_next_box(QMessageBox::Yes);
    EXPECT_TRUE(window.close());
    EXPECT_FALSE(window.isVisible());
}

// The copy looks like what the user sees: every pixel it adds to the drawing lies on one
// of the two caption labels, and each adds some.
TEST_F(MainWindowTest, CopyToClipboardCarriesTheAxisCaptions) {
    window.menus().cop_clip->trigger();
    const QImage copied = QGuiApplication::clipboard()->image().convertToFormat(
        QImage::Format_RGB32);
    const QImage drawn = picture()->image().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(copied.size(), drawn.size());
    const QRect captions[] = {picture()->legx()->geometry(), picture()->legy()->geometry()};
    int added[2] = {0, 0};
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            if (copied.pixel(x, y) != drawn.pixel(x, y)) {
                const bool on_x = captions[0].contains(x, y);
                ASSERT_TRUE(on_x || captions[1].contains(x, y)) << "pixel " << x << ", " << y;
                ++added[on_x ? 0 : 1];
            }
        }
    }
    EXPECT_GT(added[0], 20);
    EXPECT_GT(added[1], 20);
}

} // namespace
} // namespace teravine
