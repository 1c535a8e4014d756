// SPDX-License-Identifier: GPL-3.0-or-later
// teravine-cli: the diagram's calculations without a window, for scripted batches.
#include "cli/commands.h"
#include "teravine_version.h"

#include <iostream>

int main(int argc, char** argv) {
    CLI::App app{"Teravine headless tool: illite k, N, %S and Nfp from XRD peak widths"};
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string("teravine-cli ") + teravine::kVersion);
    int status = teravine::cli::kExitOk;
    teravine::cli::add_identify_command(app, status);
    teravine::cli::add_treat_command(app, status);
    teravine::cli::add_lines_command(app, status);
    teravine::cli::add_plot_command(app, status);
    teravine::cli::add_measure_command(app, status);
    teravine::cli::add_pattern_command(app, status);
    teravine::cli::add_instrument_command(app, status);
    teravine::cli::add_cis_command(app, status);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::cerr << "teravine-cli: " << e.what() << " (try --help)\n";
        return teravine::cli::kExitFailure;
    }
    return status;
}
