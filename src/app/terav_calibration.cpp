// SPDX-License-Identifier: GPL-3.0-or-later
// File > "Calibration…": the instrument profile and the CIS calibration, read, written,
// made and put to use.
#include "app/terav.h"

#include "peaks/peak_width.h"
#include "text/text_file.h"

#include <utility>

namespace teravine {
namespace {

constexpr const char* kJsonFilter = "JSON (*.json)|*.json;*.JSON|all (*.*)|*.*|";

} // namespace

void Terav::show_lab_calibration() {
    services_.calibration_changed();
}

template <class Value>
std::optional<std::pair<std::string, Value>>
Terav::open_lab_file(Outcome<Value> (*read)(const std::string& path)) {
    std::string path;
    if (dialog_open(kJsonFilter, path) == 0) {
        return std::nullopt;
    }
    auto value = read(path);
    if (!value) {
        services_.message(value.error());
        return std::nullopt;
    }
    return std::pair{path, std::move(value.value())};
}

std::optional<std::string> Terav::save_lab_file(const std::string& json,
                                                const std::string& failed) {
    std::string path;
    std::string title;
    if (dialog_save(kJsonFilter, path, title) == 0) {
        return std::nullopt;
    }
    if (const auto failure = write_file_whole(path, json)) {
        services_.message(*failure);
        services_.status(failed);
        return std::nullopt;
    }
    return path;
}

void Terav::open_instrument_profile_Click() {
    if (auto opened = open_lab_file(&read_instrument_profile)) {
        use_instrument_profile(std::move(opened->second), opened->first);
    }
}

void Terav::save_instrument_profile_Click() {
    if (!state_.lab.profile) {
        services_.status("Save Profile: no instrument profile is in use");
        return;
    }
    if (const auto path = save_lab_file(instrument_profile_json(*state_.lab.profile),
                                        "Save Profile: the profile was not written")) {
        services_.status("Instrument profile written to " + *path);
    }
}

void Terav::use_instrument_profile(InstrumentProfile profile, const std::string& source) {
    const double b = profile.b;
    state_.lab.profile = std::move(profile);
    state_.lab.profile_source = source;
    services_.set_text(TextBox::Broad, width_text(b));
    show_lab_calibration();
    services_.status("Instrumental Broadening: " + broadening_source(state_.lab));
}

void Terav::end_instrument_profile(const std::string& why) {
    if (!state_.lab.profile) {
        return;
    }
    state_.lab.profile.reset();
    state_.lab.profile_source.clear();
    show_lab_calibration();
    services_.status(why);
}

void Terav::stop_instrument_profile() {
    end_instrument_profile("Instrumental Broadening: the instrument profile is no longer used; "
                           "the box keeps its value");
}

void Terav::Broad_Edited() {
    end_instrument_profile("Instrumental Broadening typed by hand: the instrument profile is no "
                           "longer used");
}

void Terav::open_cis_calibration_Click() {
    if (auto opened = open_lab_file(&read_cis_calibration)) {
        use_cis_calibration(std::move(opened->second), opened->first);
    }
}

void Terav::save_cis_calibration_Click() {
    if (!state_.lab.cis) {
        services_.status("Save Calibration: no CIS calibration is loaded");
        return;
    }
    if (const auto path = save_lab_file(cis_calibration_json(*state_.lab.cis),
                                        "Save Calibration: the calibration was not written")) {
        state_.lab.cis_source = *path;
        services_.status("CIS calibration written to " + *path);
    }
}

bool Terav::fit_cis_calibration(const std::vector<StandardRow>& rows, CisIndex index,
                                const std::string& method) {
    const auto standards = standards_of_rows(rows, index);
    if (!standards) {
        services_.message(standards.error());
        return false;
    }
    auto fitted = fit_cis(*standards, index, method);
    if (!fitted) {
        services_.message(fitted.error());
        return false;
    }
    use_cis_calibration(std::move(fitted.value()), {});
    return true;
}

bool Terav::fit_cis_calibration(const std::vector<StandardRow>& rows, CisIndex index,
                                const WidthMethod& method, const PeakRange& range) {
    const auto name = rows_method_name(rows, method, range);
    if (!name) {
        services_.message(name.error());
        return false;
    }
    return fit_cis_calibration(rows, index, *name);
}

void Terav::use_cis_calibration(CisCalibration calibration, const std::string& source) {
    state_.lab.cis = std::move(calibration);
    state_.lab.cis_source = source;
    show_lab_calibration();
    services_.status(
        "CIS calibration: " + cis_equation(*state_.lab.cis) + "; " +
        (converts_samples(state_.lab)
             ? limits_text(state_.lab.limits)
             : std::string("of the Árkai index: the table's KI (CIS) needs one of the Kübler "
                           "index")));
}

void Terav::stop_cis_calibration() {
    if (!state_.lab.cis) {
        return;
    }
    state_.lab.cis.reset();
    state_.lab.cis_source.clear();
    show_lab_calibration();
    services_.status("CIS calibration: none loaded");
}

void Terav::set_zone_limits(const ZoneLimits& limits) {
    state_.lab.limits = limits;
    show_lab_calibration();
    services_.status("Zone limits: " + limits_text(limits));
}

} // namespace teravine
