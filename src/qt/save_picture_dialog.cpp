// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/save_picture_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>
#include <array>
#include <cmath>

namespace teravine {
namespace {

constexpr int kPrintDpi = 300;

struct Format {
    const char* name;
    const char* suffix;
    const char* filter;
};
constexpr std::array<Format, 3> kFormats{{{"PNG image", "png", "PNG image (*.png)"},
                                          {"SVG drawing", "svg", "SVG drawing (*.svg)"},
                                          {"PDF document", "pdf", "PDF document (*.pdf)"}}};

int format_of_suffix(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (std::size_t i = 0; i < kFormats.size(); ++i) {
        if (suffix == QLatin1String(kFormats[i].suffix)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

QDoubleSpinBox* length_box(QWidget* parent) {
    auto* box = new QDoubleSpinBox(parent);
    box->setRange(1, kMaxFigurePixels);
    box->setDecimals(1);
    return box;
}

} // namespace

SavePictureDialog::SavePictureDialog(QSize screen_pixels, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Save Picture"));
    auto* form = new QFormLayout(this);

    auto* file_row = new QHBoxLayout;
    file_ = new QLineEdit(this);
    file_->setMinimumWidth(260);
    auto* browse_button = new QPushButton(QString::fromUtf8("Browse…"), this);
    connect(browse_button, &QPushButton::clicked, this, &SavePictureDialog::browse);
    file_row->addWidget(file_);
    file_row->addWidget(browse_button);
    form->addRow(QStringLiteral("File:"), file_row);

    format_ = new QComboBox(this);
    for (const Format& f : kFormats) {
        format_->addItem(QString::fromLatin1(f.name));
    }
    form->addRow(QStringLiteral("Format:"), format_);
    connect(file_, &QLineEdit::textEdited, this, &SavePictureDialog::follow_typed_suffix);

    width_ = length_box(this);
    height_ = length_box(this);
    unit_ = new QComboBox(this);
    unit_->addItems({QStringLiteral("mm"), QStringLiteral("px")});
    auto* size_row = new QHBoxLayout;
    size_row->addWidget(width_);
    size_row->addWidget(new QLabel(QString::fromUtf8("×"), this));
    size_row->addWidget(height_);
    size_row->addWidget(unit_);
    form->addRow(QStringLiteral("Size:"), size_row);
    connect(unit_, &QComboBox::currentIndexChanged, this, &SavePictureDialog::unit_changed);

    dpi_ = new QSpinBox(this);
    dpi_->setRange(static_cast<int>(kMinFigureDpi), static_cast<int>(kMaxFigureDpi));
    dpi_->setSuffix(QStringLiteral(" dpi"));
    dpi_->setValue(kPrintDpi);
    form->addRow(QStringLiteral("Resolution:"), dpi_);
    caption_ = new QCheckBox(QStringLiteral("A line under the diagram: Reichweite, rule, "
                                            "broadening (and σ with the ellipses)"),
                             this);
    form->addRow(QStringLiteral("Caption:"), caption_);

    const double mm_per_pixel = kMillimetresPerInch / kScreenDpi;
    width_->setValue(std::round(screen_pixels.width() * mm_per_pixel * 10) / 10);
    height_->setValue(std::round(screen_pixels.height() * mm_per_pixel * 10) / 10);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &SavePictureDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SavePictureDialog::reject);
    form->addRow(buttons);
}

bool SavePictureDialog::millimetres() const {
    return unit_->currentIndex() == 0;
}

void SavePictureDialog::unit_changed() {
    if (millimetres() == was_millimetres_) {
        return;
    }
    // The same page in the other unit at the resolution set.
    const double factor =
        millimetres() ? kMillimetresPerInch / dpi_->value() : dpi_->value() / kMillimetresPerInch;
    width_->setDecimals(millimetres() ? 1 : 0);
    height_->setDecimals(millimetres() ? 1 : 0);
    width_->setValue(width_->value() * factor);
    height_->setValue(height_->value() * factor);
    was_millimetres_ = millimetres();
}

void SavePictureDialog::follow_typed_suffix() {
    const int format = format_of_suffix(file_->text());
    if (format >= 0) {
        format_->setCurrentIndex(format);
    }
}

void SavePictureDialog::browse() {
    QFileDialog dialog(this);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    QStringList filters;
    for (const Format& f : kFormats) {
        filters << QString::fromLatin1(f.filter);
    }
    dialog.setNameFilters(filters);
    const Format& chosen = kFormats[static_cast<std::size_t>(format_->currentIndex())];
    dialog.selectNameFilter(QString::fromLatin1(chosen.filter));
    dialog.setDefaultSuffix(QString::fromLatin1(chosen.suffix));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, filters](const QString& f) {
        const auto i = static_cast<std::size_t>(filters.indexOf(f));
        dialog.setDefaultSuffix(QString::fromLatin1(kFormats[i < kFormats.size() ? i : 0].suffix));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    format_->setCurrentIndex(
        std::max(0, static_cast<int>(filters.indexOf(dialog.selectedNameFilter()))));
    file_->setText(QDir::toNativeSeparators(dialog.selectedFiles().front()));
    follow_typed_suffix();
}

PictureRequest SavePictureDialog::request() const {
    PictureRequest out;
    QString path = file_->text().trimmed();
    if (!path.isEmpty() && format_of_suffix(path) < 0) {
        path +=
            QLatin1Char('.') +
            QString::fromLatin1(kFormats[static_cast<std::size_t>(format_->currentIndex())].suffix);
    }
    out.path = QFileInfo(path).absoluteFilePath().toStdString();
    out.size.dpi = dpi_->value();
    out.caption = caption_->isChecked();
    const double to_pixels = millimetres() ? out.size.dpi / kMillimetresPerInch : 1;
    out.size.width = static_cast<int>(std::lround(width_->value() * to_pixels));
    out.size.height = static_cast<int>(std::lround(height_->value() * to_pixels));
    return out;
}

void SavePictureDialog::accept() {
    if (file_->text().trimmed().isEmpty()) {
        QMessageBox::information(this, windowTitle(),
                                 QStringLiteral("Give the file to save the picture in."));
        return;
    }
    const PictureRequest wanted = request();
    if (const auto problem = figure_size_problem(wanted.size)) {
        QMessageBox::information(this, windowTitle(), QString::fromStdString(*problem) + '.');
        return;
    }
    const QFileInfo target(QString::fromStdString(wanted.path));
    if (target.exists() &&
        QMessageBox::question(this, windowTitle(),
                              QStringLiteral("%1 already exists.\nDo you want to replace it?")
                                  .arg(target.fileName())) != QMessageBox::Yes) {
        return;
    }
    QDialog::accept();
}

std::optional<PictureRequest> ask_picture_file(QWidget* parent, QSize screen_pixels) {
    SavePictureDialog dialog(screen_pixels, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.request();
}

} // namespace teravine
