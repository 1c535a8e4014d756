// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/window_controls.h"

#include "qt/picture_box.h"
#include "qt/twips.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace teravine {

namespace {

constexpr double kControlPointSize = 8.25;

QFont control_font(bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(kControlPointSize);
    font.setBold(bold);
    return font;
}

// Left, top, width and height in twips; a width or height of 0 takes the control's own.
void place(QWidget* widget, int left, int top, int width = 0, int height = 0) {
    const QSize hint = widget->sizeHint();
    widget->setGeometry(twips_to_pixels(left), twips_to_pixels(top),
                        width > 0 ? twips_to_pixels(width) : hint.width(),
                        height > 0 ? twips_to_pixels(height) : hint.height());
}

template <class Widget> Widget* make(QWidget* parent, const QString& text, bool bold = false) {
    auto* widget = new Widget(text, parent);
    widget->setFont(control_font(bold));
    return widget;
}

QLineEdit* make_box(QWidget* parent, int top) {
    auto* box = new QLineEdit(parent);
    box->setFont(control_font(false));
    place(box, 7920, top, 1215, 285);
    return box;
}

} // namespace

QLineEdit* WindowControls::box(TextBox which) const {
    switch (which) {
    case TextBox::Broad:
        return Broad;
    case TextBox::Xls:
        return Xls;
    case TextBox::Yls:
        return Yls;
    }
    return nullptr;
}

QLabel* WindowControls::caption(Caption which) const {
    return which == Caption::XYpos ? XYpos : label_file;
}

WindowControls build_window_controls(QWidget* client) {
    WindowControls c;
    client->setFont(control_font(false));

    c.Frame1 =
        make<QGroupBox>(client, QStringLiteral("Single value selected instrumental effect"), true);
    place(c.Frame1, 0, 0, 9255, 1215);
    QWidget* frame = c.Frame1;

    const std::array<QString, 3> profiles{QStringLiteral("Gaussian"), QStringLiteral("Lorentzian"),
                                          QStringLiteral("Mixture")};
    for (std::size_t i = 0; i < profiles.size(); ++i) {
        c.options[i] = make<QRadioButton>(frame, profiles[i]);
        place(c.options[i], 120, 240 + 300 * static_cast<int>(i), 1290, 255);
    }
    c.options[3] = make<QRadioButton>(frame, QStringLiteral("File table"));
    place(c.options[3], 1440, 300, 1215, 255);
    c.option(BroadeningOption::Mixture)->setChecked(true);

    c.label_file = make<QLabel>(frame, QString());
    place(c.label_file, 1500, 540, 4275, 255);
    c.XYpos = make<QLabel>(frame, QString(), true);
    place(c.XYpos, 1860, 840, 2400, 300);

    c.Command1 = make<QPushButton>(frame, QStringLiteral("Draw"), true);
    place(c.Command1, 4800, 840, 1095, 315);

    c.Label4 = make<QLabel>(frame, QStringLiteral("Instrumental Broadening"));
    place(c.Label4, 6060, 240, 0, 285);
    c.Broad = make_box(frame, 240);
    c.Label2 = make<QLabel>(frame, QStringLiteral("Air Dried IC"));
    place(c.Label2, 6840, 540, 0, 285);
    c.Xls = make_box(frame, 540);
    c.Label3 = make<QLabel>(frame, QStringLiteral("Ethylene Glycol IC"));
    place(c.Label3, 6360, 840, 0, 285);
    c.Yls = make_box(frame, 840);

    c.Broad->setToolTip(QStringLiteral(
        "The instrument's own peak width (FWHM), degrees 2θ Cu Kα, removed from both widths "
        "with the rule chosen at the left; 0 or empty for none"));
    c.Xls->setToolTip(
        QStringLiteral("FWHM of the 001 illite peak of the air-dried preparation, degrees 2θ Cu Kα "
                       "(\"0.5\" or \".5\"); Enter draws the pair"));
    c.Yls->setToolTip(QStringLiteral(
        "FWHM of the 001 illite peak of the ethylene-glycol solvated preparation, degrees "
        "2θ Cu Kα, not above the air-dried width; Enter draws the pair"));
    c.Command1->setToolTip(QStringLiteral(
        "Removes the broadening from both widths and places the sample on the diagram"));
    for (std::size_t i = 0; i < profiles.size(); ++i) {
        c.options[i]->setToolTip(
            QStringLiteral("Removes the instrumental broadening as a %1 profile would")
                .arg(i == 2 ? QStringLiteral("geometric mean of the Gaussian and the Lorentzian")
                            : profiles[i]));
    }
    c.options[3]->setToolTip(
        QStringLiteral("Reads a correction table (.cor) and corrects the widths with it"));

    c.pct1 = new PictureBox(client);
    c.pct1->move(twips_to_pixels(kPictureLeftTwips), twips_to_pixels(kPictureTopTwips));
    return c;
}

} // namespace teravine
