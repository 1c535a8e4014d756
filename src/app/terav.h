// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's state and every one of its event handlers, free of any toolkit.
// The handlers reach the screen only through WindowServices and the picture's Surface.
#pragma once

#include "app/lab_calibration.h"
#include "app/sample_history.h"
#include "app/sample_table_text.h"
#include "app/treatment_job.h"
#include "app/window_services.h"
#include "app/window_session.h"
#include "batch/sample_list_file.h"
#include "batch/treatment.h"
#include "diagram/axes.h"
#include "diagram/draw_diagram.h"
#include "diagram/plot_window.h"
#include "diagram/surface.h"
#include "identify/identify_point.h"
#include "identify/sample_list.h"
#include "lines/line_store.h"
#include "lines/line_tables.h"
#include "model/broadening.h"
#include "model/calibration.h"
#include "model/polynomial.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace teravine {

inline constexpr const char* kAppTitle = "Teravine";

// The current point: the widths under the pointer (or typed, or read from a file)
// and its position on the picture.
struct CurrentPoint {
    float iw_ad = 0;
    float iw_eg = 0;
    float pos_x = 0;
    float pos_y = 0;
};

struct Broadening {
    std::int16_t broad_rule = kRuleMixture;
    CorrectionTable cor;
    std::string label_file; // "Used File: ..." once a table is loaded
};

struct TeravState {
    Calibration cal;
    PlotWindow plot;
    AxisCaptions captions;
    InterpRecord interp; // where the last point placed inside lies between two k rows
    CurrentPoint current;
    SampleList samples;
    ConstLines grids;
    GridSwitches grids_on;
    IdenticalSwitches identical_on;
    Broadening broadening;
    LineTables line_tables; // what the line builders of cal.reich evaluate again and again
    std::vector<std::size_t> selected;         // rows of the sample table selected, ascending
    float sigma = 0;                           // of the widths for the intervals; 0: none
    bool ellipses_on = false;                  // Draw > "Uncertainty Ellipses"
    SampleLabels labels = SampleLabels::label; // Draw > "Labels"
    // What the last treatment or list could not place, with the reasons; shown after the
    // samples in the table, never drawn. Cleared with the points.
    std::vector<UnplacedSample> unplaced;
    // File > "Calibration…": the instrument profile in use and the CIS calibration.
    LabCalibration lab;
};

class Terav {
public:
    Terav(WindowServices& services, Surface& picture);

    // Start-up, redraw, quit.
    void Form_Load();
    void Form_Resize();
    bool Form_QueryUnload(); // true when the window may close
    void close_form_Click();

    // "Edit"
    void cop_clip_Click();
    void netoye_Click();
    void Cl_p_Click();

    // "File"
    void Tr_fi_Click();
    void open_sample_list_Click(); // "Open Sample List…": a named list placed as Treat File does
    void save_session_Click();     // "Save Session…"
    void save_report_Click();      // "Save Report…": the window's session as a PDF report
    void open_session_Click();     // "Open Session…": a damaged or later file changes nothing
    // Treat File and Open Sample List treat and place their samples a slice at a time. The
    // two handlers take every slice at once; a front end that shows progress between slices
    // starts one with begin_treat_file or begin_sample_list (the dialogs and the reading;
    // true when a treatment is under way) and calls advance_treatment until it is false.
    bool begin_treat_file();
    bool begin_sample_list();
    // A named list's samples placed as Treat File places a width file's (Open Sample List,
    // File > "Measure Folder…"), the status line beginning with `action`.
    void place_sample_list(const NamedList& list, const std::string& source,
                           const std::string& action);
    // The broadening typed in its box, as a measured list states it; nothing when the box
    // holds no number or a negative one.
    std::optional<float> typed_broadening() const;
    bool advance_treatment(std::size_t samples);
    // The samples treated so far and the number to treat, of the treatment under way.
    std::pair<std::size_t, std::size_t> treatment_progress() const;
    // What a session file holds of the window, and the window made to show a session.
    WindowSession current_session() const;
    void restore_session(const WindowSession& session);
    void Pr_Click();
    void save_picture_Click(); // "Save Picture…"

    // File > "Calibration…". An instrument profile in use writes its b into "Instrumental
    // Broadening" and says so; typing into that box by hand ends its use. A CIS calibration
    // gives the sample table its "KI (CIS)" and "Zone" columns.
    void open_instrument_profile_Click();
    void save_instrument_profile_Click();
    void use_instrument_profile(InstrumentProfile profile, const std::string& source);
    void stop_instrument_profile();
    void Broad_Edited();
    void open_cis_calibration_Click();
    void save_cis_calibration_Click();
    // Fits the rows' standards and uses the line; false, the reason shown, when it cannot.
    bool fit_cis_calibration(const std::vector<StandardRow>& rows, CisIndex index,
                             const std::string& method);
    // The same, the method stated in full (rows_method_name) from the one the dialog chose
    // and the range the rows' patterns were measured in.
    bool fit_cis_calibration(const std::vector<StandardRow>& rows, CisIndex index,
                             const WidthMethod& method, const PeakRange& range);
    void use_cis_calibration(CisCalibration calibration, const std::string& source);
    void stop_cis_calibration();
    void set_zone_limits(const ZoneLimits& limits);

    // "Reichweite"
    void R_0_Click();
    void R_1_Click();
    void R_3_Click();

    // "Grid Lines"
    void C_k_Click();
    void C_N_Click();
    void C_perc_Click();
    void c_inf_Click();
    void exp_li_Click();

    // "Draw"
    void Id_k_Click();
    void Id_n_Click();
    void Id_s_Click();
    void Id_inf_Click();

    // "Info"
    void menu_about_Click();

    // The sample table: its selection marks the samples' dots; "Remove Selected Samples"
    // and "Undo" in "Edit"; "Export CSV…" writes the whole table.
    void select_samples(std::vector<std::size_t> rows);
    void remove_selected_Click();
    void undo_Click();
    void export_table_Click();
    // A name typed in the table: row counts the samples first, then those not placed. Tabs
    // and line breaks become blanks; a label showing the name is drawn again.
    void rename_sample(std::size_t row, const std::string& name);
    // The sample table's sigma of the widths (0: off) and Draw > "Uncertainty Ellipses".
    void set_sigma(float sigma);
    void ellipses_Click();
    // Draw > "Labels": what is written beside each sample; the picture is drawn again.
    void labels_Click(SampleLabels labels);

    // The picture, the width boxes and the broadening options.
    void pct1_MouseMove(float x, float y);
    void pct1_Click();
    void Command1_Click();
    // What "Draw" would do with these two width texts and the broadening box: the values
    // of the sample it would place, or why it would place none. Changes nothing.
    std::string preview_entry(const std::string& ad, const std::string& eg) const;
    void prof_option_Click(int index);
    void file_option_Click();
    // The measuring dialog wrote its widths into the boxes: the samples "Draw" places keep
    // this measurement, and the mean layers of its air-dried pattern's profile when the
    // dialog analysed it, for as long as the boxes hold the texts they hold now.
    void use_measurement(const Measurement& measurement,
                         std::optional<float> n_profile = std::nullopt);
    // How the last sample placed from the measuring dialog was measured (after Open Session,
    // the session's), for the measuring dialog to take up; nothing when none was.
    std::optional<Measurement> latest_measurement() const;

    const TeravState& state() const { return state_; }

private:
    void load_reich();
    void refresh_after_reich();
    void switch_reich(std::int16_t reich);
    void draw_diagram(Surface& surface, PlotWindow& plot, bool for_screen);
    void fit_picture();
    void show_check(MenuItem item, bool checked);
    int dialog_open(const std::string& filter, std::string& path);
    int dialog_save(const std::string& filter, std::string& path, std::string& title);
    void place_current_point(float iw_ad, float iw_eg, const SampleOrigin& origin);
    // What a click does at the current point, the sample coming from `origin`.
    void place_at_current(const SampleOrigin& origin);
    // What place_current_point and pct1_Click do, with the point identified already.
    // `mark`: draw the new sample on the picture at once, as a click does; a caller that
    // redraws the whole picture afterwards leaves that to the redraw.
    void place_identified(float iw_ad, float iw_eg, Identification& found, bool mark = true,
                          const SampleOrigin& origin = {});
    void set_current_point(float iw_ad, float iw_eg); // widths and their surface position
    // What the window keeps of a point's place: its record when inside, the EG width as
    // find_k leaves it (moved onto the diagonal when above it).
    void keep_place(const KPlace& place);
    void add_sample(std::optional<PlacedSample> placed, bool mark, const SampleOrigin& origin);
    // The intervals of samples [first, end) at the sigma, on all cores; their ellipses
    // drawn on the picture when `mark` and they are shown.
    void measure_uncertainties(std::size_t first, bool mark);
    // The list was cleared or identified afresh: no selection, nothing to undo.
    void samples_reset();
    // The window shows the calibration as it now stands.
    void show_lab_calibration();
    // A calibration's file chosen in the Open dialog and read by `read`: the path and what
    // it holds, or nothing after a cancel or a refusal (shown in a message box).
    template <class Value>
    std::optional<std::pair<std::string, Value>>
        open_lab_file(Outcome<Value> (*read)(const std::string& path));
    // `json` written whole to a file chosen in the Save dialog: its path, or nothing after a
    // cancel or a failure (shown in a message box, and `failed` on the status bar).
    std::optional<std::string> save_lab_file(const std::string& json, const std::string& failed);
    // The instrument profile no longer used, `why` on the status bar; nothing when none is.
    void end_instrument_profile(const std::string& why);
    void mark_selected();
    DiagramContent content() const;
    bool sample_list_full() const;
    // The job's run begun and its earlier results' unplaced rows cleared.
    void start_treatment(std::unique_ptr<TreatmentJob> job, std::string_view rule);
    // A list's job begun: its widths as measured and corrected by the rule in use.
    void start_list_treatment(NamedList list, const std::string& source, std::string action);
    // Places the accepted samples the job's last slice took, in order, with their names and
    // (from a list) their own u, then their intervals; the rest become unplaced rows.
    void place_slice(TreatmentJob& job);
    // The job's result closed and told on the status bar and in message boxes.
    void finish_treatment();

    WindowServices& services_;
    Surface& picture_;
    TeravState state_;
    SampleHistory history_;
    struct BoxMeasurement {
        Measurement measurement;
        std::optional<float> n_profile;
        std::string ad_text; // the width boxes as the measurement left them
        std::string eg_text;
    };
    std::optional<BoxMeasurement> box_measurement_;
    std::unique_ptr<TreatmentJob> treatment_; // the treatment under way, if any
};

} // namespace teravine
