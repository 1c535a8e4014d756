// SPDX-License-Identifier: GPL-3.0-or-later
#include "identify/uncertainty_text.h"
#include "qt/guide_window.h"
#include "qt/main_window.h"
#include "qt/measure_folder_dialog.h"
#include "qt/picture_box.h"
#include "qt/sample_table_dock.h"
#include "qt/sample_table_model.h"
#include "qt/save_picture_dialog.h"
#include "standards/instrument_measure.h"
#include "support/scratch_folder.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
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

    // Answers the next modal dialog of type D (a file dialog, Save Picture) with fill.
    template <class D> void answer_next(std::function<void(D&)> fill) {
        QTimer::singleShot(0, [fill] {
            auto* dialog = dynamic_cast<D*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            fill(*dialog);
        });
    }
    // Answers the file dialogs to come, one after the other, with these paths.
    void answer_file_dialogs(QStringList paths) {
        answer_next<QFileDialog>([this, paths](QFileDialog& d) {
            d.selectFile(paths.front());
            if (paths.size() > 1) {
                answer_file_dialogs(paths.mid(1));
            }
            QMetaObject::invokeMethod(&d, "accept");
        });
    }
    // "Treat File" on the examples' width file.
    void treat_examples(const ScratchFolder& folder) {
        answer_file_dialogs({QString::fromStdString(examples() + "samples.IW"),
                             QString::fromStdString(folder.file("out.IWO"))});
        window.menus().Tr_fi->trigger();
    }
    static std::string examples() {
        return std::string(std::getenv("TERAVINE_SOURCE_DIR")) + "/examples/";
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
    // The program's own items first, what it gained since after them.
    const std::vector<std::vector<QString>> items{
        {"Treat File", "Print", "Close", "Measure Patterns…", "Save Picture…", "Open Sample List…",
         "Save Session…", "Open Session…", "Calibration…", "Recent", "Measure Folder…",
         "Save Report…"},
        {"Copy to clipboard", "Clear ALL", "Clear Points", "Remove Selected Samples", "Undo"},
        {"R0", "R1", "R3"},
        {"Constant k", "Constant N", "Constant %S", "Approx. constant Nfp", "Export Constant line"},
        {"Identical k", "Identical N", "Identical %S", "Approx. Identical Nfp", "Sample Table",
         "Uncertainty Ellipses", "Labels"},
        {"About", "User Guide"}};
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(captions_of(menus[static_cast<qsizetype>(i)]->menu()->actions()), items[i]);
    }

    EXPECT_EQ(window.menus().checks.size(), 12u);
    for (const auto& [item, action] : window.menus().checks) {
        EXPECT_EQ(action->isChecked(), item == MenuItem::R_0 || item == MenuItem::C_k);
    }

    const WindowControls& c = window.controls();
    EXPECT_EQ(c.Frame1->title(), QStringLiteral("Single value selected instrumental effect"));
    // The layout's twips over 15 a pixel: the frame 9255 x 1215, the picture at (20, 1300).
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

// The copy looks like what the user sees, selection rings left out: every pixel it adds
// to the drawing lies on one of the two caption labels, and each adds some.
TEST_F(MainWindowTest, CopyToClipboardCarriesTheAxisCaptions) {
    const QPointF middle(picture()->width() / 2.0, picture()->height() / 2.0);
    picture()->set_marks({picture()->to_user(middle)});
    window.menus().cop_clip->trigger();
    EXPECT_EQ(picture()->marks().size(), 1u); // still shown on the screen
    const QImage copied =
        QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
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

// The table follows the list; its selection rings the dots; Ctrl+C, Delete and Ctrl+Z
// reach the rows and the samples.
TEST_F(MainWindowTest, SampleTableFollowsTheSamples) {
    window.menus().sample_table->trigger();
    SampleTableDock& table = window.sample_table();
    EXPECT_TRUE(table.isVisible());
    EXPECT_TRUE(window.menus().sample_table->isChecked());
    const QSize picture_before = picture()->size();
    ScratchFolder folder;
    treat_examples(folder);
    QApplication::processEvents();
    ASSERT_EQ(state().samples.size(), 6u);
    ASSERT_EQ(state().unplaced.size(), 3u);
    ASSERT_EQ(table.model().rowCount(), 9); // and the three not placed, greyed, after them
    // Sorted by N, highest first: the first row is the sample of the highest N, the rows
    // not placed stay last, and a selection still names the sample it shows.
    QTableView* sorted_view = table.view();
    sorted_view->sortByColumn(6, Qt::DescendingOrder);
    std::size_t highest = 0;
    for (std::size_t i = 0; i < state().samples.size(); ++i) {
        if (state().samples[i].record.n_int > state().samples[highest].record.n_int) {
            highest = i;
        }
    }
    EXPECT_EQ(sorted_view->model()->index(8, 0).data().toString(), QString());
    sorted_view->selectRow(0);
    EXPECT_EQ(state().selected, std::vector<std::size_t>{highest});
    sorted_view->clearSelection();
    sorted_view->sortByColumn(-1, Qt::AscendingOrder);
    EXPECT_EQ(table.model().index(2, 11).data().toString().toStdString(),
              state().samples[2].record.label);
    EXPECT_EQ(picture()->size(), picture_before); // the window grew by the table instead
    const QRect screen = window.screen()->availableGeometry();
    EXPECT_LE(window.frameGeometry().right(), screen.right()) << "the table pushed the window off";
    EXPECT_GE(window.frameGeometry().left(), screen.left());

    QTableView* view = table.view();
    view->selectRow(1);
    view->setFocus();
    ASSERT_EQ(picture()->marks().size(), 1u);
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    const QStringList copied = QGuiApplication::clipboard()->text().split('\n');
    EXPECT_EQ(copied.value(0), QStringLiteral("#\tName\tAD measured\tEG measured\tAD\tEG\tN\t"
                                              "N (profile)\t%S\tk\tNfp\tLabel\tb"));
    EXPECT_TRUE(copied.value(1).startsWith(QStringLiteral("2\t")));

    const std::string third = state().samples[2].record.label;
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(state().samples.size(), 5u);
    EXPECT_EQ(table.model().rowCount(), 8);
    EXPECT_EQ(table.model().index(1, 11).data().toString().toStdString(), third);
    EXPECT_TRUE(picture()->marks().empty());
    window.activateWindow(); // the window's own shortcuts need it active
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(table.model().rowCount(), 9);
    EXPECT_EQ(table.model().index(1, 0).data().toString(), QStringLiteral("2"));

    // A sigma in the tool bar: the four interval columns before the label, each sample's.
    table.sigma_box()->setValue(0.02);
    EXPECT_EQ(state().sigma, 0.02f);
    ASSERT_EQ(table.model().columnCount(), 17);
    EXPECT_EQ(table.model().headerData(11, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("N interval"));
    EXPECT_EQ(table.model().index(0, 11).data().toString().toStdString(),
              interval_text(*state().samples[0].uncertainty, UncertainQuantity::n));
    EXPECT_EQ(table.model().index(2, 15).data().toString().toStdString(),
              state().samples[2].record.label);
    window.menus().item(MenuItem::ellipses)->trigger();
    EXPECT_TRUE(window.menus().item(MenuItem::ellipses)->isChecked());
    table.sigma_box()->setValue(0);
    EXPECT_EQ(table.model().columnCount(), 13);

    window.menus().item(MenuItem::R_3)->trigger();
    EXPECT_EQ(table.model().rowCount(),
              static_cast<int>(state().samples.size() + state().unplaced.size()));
    window.menus().Cl_p->trigger();
    EXPECT_EQ(table.model().rowCount(), 0);
}

// A session reopens as the window showed it: the σ box and its interval columns, the
// samples not placed with their reasons, names typed in the table, the Reichweite, the
// grids and the label choice.
TEST_F(MainWindowTest, ASessionReopensAsTheWindowShowedIt) {
    ScratchFolder folder;
    treat_examples(folder);
    QApplication::processEvents();
    window.menus().item(MenuItem::R_1)->trigger();
    SampleTableModel& model = window.sample_table().model();
    ASSERT_GE(model.rowCount(), 8);
    for (const auto& [row, name] : {std::pair{0, "Pit A"}, std::pair{7, "Pit H"}}) {
        const QModelIndex cell = model.index(row, 1);
        ASSERT_TRUE(model.flags(cell) & Qt::ItemIsEditable);
        ASSERT_TRUE(model.setData(cell, QString::fromUtf8(name), Qt::EditRole));
    }
    EXPECT_FALSE(model.flags(model.index(0, 4)) & Qt::ItemIsEditable);
    window.sample_table().sigma_box()->setValue(0.01);
    window.menus().item(MenuItem::C_N)->trigger();
    window.menus().labels[1]->trigger(); // "Name"
    const QString path = QString::fromStdString(folder.file("shown.json"));
    answer_file_dialogs({path});
    window.menus().save_session->trigger();

    MainWindow other{MainWindow::Options{false}};
    other.show();
    other.start();
    // Dropped onto the window, it opens as File > Open Session… opens it.
    other.open_dropped({path.toStdString()});
    QApplication::processEvents();
    SampleTableDock& reopened = other.sample_table();
    EXPECT_EQ(reopened.sigma_box()->value(), 0.01);
    EXPECT_NE(reopened.sigma_box()->text(), QStringLiteral("off"));
    ASSERT_EQ(reopened.model().columnCount(), 17); // with the four intervals and b
    ASSERT_EQ(reopened.model().rowCount(), model.rowCount());
    for (int row = 0; row < model.rowCount(); ++row) {
        for (int column = 0; column < model.columnCount(); ++column) {
            EXPECT_EQ(reopened.model().index(row, column).data(), model.index(row, column).data())
                << row << ", " << column;
        }
    }
    EXPECT_EQ(reopened.model().index(0, 1).data().toString(), QStringLiteral("Pit A"));
    EXPECT_EQ(reopened.model().index(7, 1).data().toString(), QStringLiteral("Pit H"));
    EXPECT_TRUE(other.checked(MenuItem::R_1));
    EXPECT_TRUE(other.checked(MenuItem::C_N));
    EXPECT_TRUE(other.menus().labels[1]->isChecked());
    EXPECT_EQ(other.terav().state().sigma, 0.01f);
    // The session opened comes first in File > "Recent", in every window from now on.
    MainWindow third{MainWindow::Options{false}};
    const auto recent = third.menus().recent->actions();
    ASSERT_FALSE(recent.isEmpty());
    EXPECT_EQ(recent.front()->text(), QStringLiteral("shown.json"));
    EXPECT_EQ(recent.front()->toolTip(), QFileInfo(path).absoluteFilePath());
}

// A width the measuring dialog found doubtful is drawn in red with its reasons as the tip;
// a sound one, and a width not measured in the dialog, as any other.
TEST(SampleTableModelTest, ADoubtfulWidthIsRedWithItsReasons) {
    SampleList samples(3);
    Measurement measurement;
    measurement.ad.quality = "weak;shoulder";
    samples[0].origin.measurement = measurement;
    measurement.ad.quality = "ok";
    measurement.eg.quality = "unresolved;instrument-method";
    samples[1].origin.measurement = measurement;
    samples[2].origin.quality_ad = "ok"; // from a list: its own words, the same colours
    samples[2].origin.quality_eg = "weak";
    std::vector<UnplacedSample> unplaced(1);
    unplaced[0].quality_ad = "edge";
    const LabCalibration lab;
    const SampleTableModel model(samples, unplaced, lab);
    const struct {
        int row, column; // AD measured, EG measured, AD, EG are columns 2 to 5
        const char* tip;
    } cases[] = {{0, 2, "Doubtful: weak;shoulder"},
                 {0, 4, "Doubtful: weak;shoulder"},
                 {0, 3, ""},
                 {0, 5, ""},
                 {0, 6, ""},
                 {1, 2, ""},
                 {1, 3, "Doubtful: unresolved;instrument-method"},
                 {1, 5, "Doubtful: unresolved;instrument-method"},
                 {2, 2, ""},
                 {2, 5, "Doubtful: weak"},
                 {3, 2, "Doubtful: edge"},
                 {3, 3, ""}};
    for (const auto& c : cases) {
        const QModelIndex at = model.index(c.row, c.column);
        EXPECT_EQ(at.data(Qt::ToolTipRole).toString().toStdString(), c.tip) << c.row << c.column;
        EXPECT_EQ(at.data(Qt::ForegroundRole).value<QColor>() == SampleTableModel::kDoubtfulColour,
                  *c.tip != '\0')
            << c.row << c.column;
    }
}

// Save Picture writes what teravine-cli plot draws for the same samples and size, with
// its physical size in every format and the axis captions in it.
TEST_F(MainWindowTest, SavePictureIsThePlotOfTheSameState) {
    ScratchFolder folder;
    treat_examples(folder);
    const struct {
        const char* format; // what the dialog is set to; the name has no suffix
        const char* file;
        const char* expected; // in the file's bytes
    } cases[] = {{"PNG image", "fig.png", "pHYs"},
                 {"SVG drawing", "fig.svg", "IW2g"},
                 // 160 x 120 mm in points (72 an inch): 453.5 and 340.2, whole points
                 {"PDF document", "fig.pdf", "/MediaBox [0 0 454.000000 340.000000]"}};
    for (const auto& c : cases) {
        const QString format = QString::fromLatin1(c.format);
        const QString base = QString::fromStdString(folder.file("fig"));
        answer_next<SavePictureDialog>([&](SavePictureDialog& d) {
            d.file()->setText(base);
            d.format()->setCurrentText(format);
            d.width()->setValue(160);
            d.height()->setValue(120);
            d.accept();
        });
        window.menus().save_picture->trigger();
        const std::string bytes = ScratchFolder::read(folder.file(c.file));
        EXPECT_NE(bytes.find(c.expected), std::string::npos) << c.file;
    }
    const QImage saved(QString::fromStdString(folder.file("fig.png")));
    // 160 x 120 mm at 300 dots an inch of 25.4 mm: 1889.8 x 1417.3 pixels, 11811 a metre.
    EXPECT_EQ(saved.size(), QSize(1890, 1417));
    EXPECT_EQ(saved.dotsPerMeterX(), 11811);

    QProcess cli;
    cli.start(QStringLiteral(TERAVINE_CLI),
              {"plot", "-o", QString::fromStdString(folder.file("cli.png")), "--samples",
               QString::fromStdString(examples() + "samples.IW"), "--width", "160mm", "--height",
               "120mm", "--dpi", "300"});
    ASSERT_TRUE(cli.waitForFinished(60000));
    EXPECT_EQ(cli.exitCode(), 0);
    EXPECT_TRUE(ScratchFolder::read(folder.file("cli.png")) ==
                ScratchFolder::read(folder.file("fig.png")));
}

// Save Report writes the window's state as `teravine-cli report` writes it of the session
// saved from that state: A4 pages, as many of them.
TEST_F(MainWindowTest, SaveReportIsTheReportOfTheWindowsSession) {
    ScratchFolder folder;
    treat_examples(folder);
    const QString session = QString::fromStdString(folder.file("shown.json"));
    answer_file_dialogs({session, QString::fromStdString(folder.file("shown"))});
    window.menus().save_session->trigger();
    window.menus().save_report->trigger();
    QProcess cli;
    cli.start(QStringLiteral(TERAVINE_CLI),
              {"report", session, "-o", QString::fromStdString(folder.file("cli.pdf"))});
    ASSERT_TRUE(cli.waitForFinished(60000));
    EXPECT_EQ(cli.exitCode(), 0);
    const auto pages = [](const std::string& pdf) {
        std::size_t count = 0;
        for (auto at = pdf.find("/Type /Page\n"); at != std::string::npos;
             at = pdf.find("/Type /Page\n", at + 1)) {
            ++count;
        }
        return count;
    };
    const std::string written = ScratchFolder::read(folder.file("shown.pdf"));
    EXPECT_EQ(written.rfind("%PDF", 0), 0u);
    EXPECT_NE(written.find("/MediaBox [0 0 595"), std::string::npos); // A4: 595 x 842 points
    EXPECT_GE(pages(written), 1u);
    EXPECT_EQ(pages(written), pages(ScratchFolder::read(folder.file("cli.pdf"))));
}

TEST_F(MainWindowTest, TheUserGuideIsShownInTheProgramWithItsPicturesAndCanBeSearched) {
    EXPECT_EQ(window.menus().user_guide->shortcut(), QKeySequence(QKeySequence::HelpContents));
    window.menus().user_guide->trigger();
    auto* guide = window.findChild<GuideWindow*>();
    ASSERT_NE(guide, nullptr);
    EXPECT_TRUE(guide->isVisible());
    const QTextDocument& document = *guide->browser->document();
    // Rendered, not shown as Markdown.
    EXPECT_NE(document.toPlainText().indexOf(QStringLiteral("Measure Patterns")), -1);
    EXPECT_EQ(document.toPlainText().indexOf(QStringLiteral("![")), -1);
    int pictures = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat()) {
                continue;
            }
            const QString name = format.toImageFormat().name();
            const QVariant data = guide->browser->loadResource(QTextDocument::ImageResource, name);
            EXPECT_FALSE(QImage::fromData(data.toByteArray()).isNull()) << name.toStdString();
            ++pictures;
        }
    }
    EXPECT_GT(pictures, 10);

    QTest::keyClicks(guide->find_box, QStringLiteral("uncertainty ellipses"));
    QTest::keyClick(guide->find_box, Qt::Key_Return);
    EXPECT_EQ(guide->browser->textCursor().selectedText().toLower(),
              QStringLiteral("uncertainty ellipses"));
    const int first = guide->browser->textCursor().position();
    EXPECT_TRUE(guide->find_next());
    EXPECT_NE(guide->browser->textCursor().position(), first);
    EXPECT_TRUE(guide->find_next(true));
    EXPECT_EQ(guide->browser->textCursor().position(), first);

    guide->find_box->setText(QStringLiteral("no such words in the guide"));
    EXPECT_FALSE(guide->find_next());
    EXPECT_EQ(guide->browser->textCursor().position(), first);
    EXPECT_EQ(guide->find_state->text(), QStringLiteral("Not found"));
}

// File > "Measure Folder…" pairs the examples' patterns by their names before measuring
// them on the pool; the pair enters the table under its stem with its u, quality and b.
TEST_F(MainWindowTest, MeasureFolderPlacesEachPairUnderItsStem) {
    answer_file_dialogs({QString::fromStdString(examples()).chopped(1)}); // the folder itself
    window.menus().measure_folder->trigger();
    auto* dialog = window.findChild<MeasureFolderDialog*>();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(dialog->isVisible());
    ASSERT_EQ(dialog->pairs->rowCount(), 1);
    EXPECT_EQ(dialog->pairs->item(0, 0)->text(), QStringLiteral("illite"));
    EXPECT_EQ(dialog->pairs->item(0, 1)->text(), QStringLiteral("illite-AD.xy"));
    EXPECT_FALSE(dialog->unpaired->findItems(QStringLiteral("mica.xy"), Qt::MatchExactly).empty());

    dialog->measure(); // no broadening typed yet: nothing is measured
    EXPECT_FALSE(dialog->measuring());
    EXPECT_TRUE(dialog->summary->text().contains(QStringLiteral("Instrumental Broadening")));
    window.controls().Broad->setText(QStringLiteral("0.1"));
    dialog->measure();
    ASSERT_TRUE(dialog->measuring());
    dialog->cancel(); // dropped: what comes back places nothing
    const auto measured = [dialog] {
        dialog->measure();
        QElapsedTimer timer;
        timer.start();
        while (dialog->measuring() && timer.elapsed() < 60000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return !dialog->measuring();
    };
    ASSERT_TRUE(measured());
    EXPECT_EQ(dialog->progress->value(), 1);
    ASSERT_EQ(state().samples.size(), 1u);
    const SampleOrigin& origin = state().samples[0].origin;
    EXPECT_EQ(origin.name, "illite");
    EXPECT_EQ(origin.broadening, 0.1f);
    EXPECT_EQ(origin.quality_ad, "ok");
    EXPECT_TRUE(origin.u_ad && origin.u_eg);
    const SampleTableModel& model = window.sample_table().model();
    EXPECT_EQ(model.index(0, model.columnCount() - 1).data().toString(), QStringLiteral("0.1000"));
    EXPECT_FALSE(origin.n_profile); // no instrument profile in use

    // The mica's profile in use: the pair takes its N (profile), the standard's pattern found in
    // the folder; a profile whose pattern is nowhere says so once and leaves it out.
    const auto made = measure_instrument_file(examples() + "mica.xy", {}, {});
    ASSERT_TRUE(made) << made.error();
    for (const bool found : {true, false}) {
        InstrumentProfile profile = made->profile;
        profile.sha256 = found ? profile.sha256 : std::string(64, '0');
        window.terav().use_instrument_profile(profile, "/nowhere/instrument.json");
        ASSERT_TRUE(measured());
        EXPECT_EQ(state().samples.back().origin.n_profile.has_value(), found);
        EXPECT_EQ(dialog->summary->text().count(QStringLiteral("N (profile)")), found ? 0 : 1);
        EXPECT_EQ(dialog->pairs->item(0, 3)->text().contains(QStringLiteral("N (profile)")), found);
    }
}

} // namespace
} // namespace teravine
