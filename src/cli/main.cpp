// SPDX-License-Identifier: GPL-3.0-or-later
// teravine-cli: the diagram's calculations without a window, for scripted batches.
#include "cli/commands.h"
#include "teravine_version.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <new>

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
    } catch (const std::bad_alloc&) {
        std::cerr << "teravine-cli: there is not enough memory for this command.\n";
        return teravine::cli::kExitFailure;
    } catch (const std::exception& e) {
        std::cerr << "teravine-cli: " << e.what() << "\n";
        return teravine::cli::kExitFailure;
    }
    // What a command printed is only done once it is out: a full disk or a closed pipe
    // behind standard output fails the command, whatever it said before.
    errno = 0;
    std::cout.flush();
    const bool flushed = std::cout.good() && std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
    const int error = errno;
    if (!flushed || std::fclose(stdout) != 0) {
        std::cerr << "teravine-cli: standard output cannot be written: "
                  << std::strerror(flushed ? errno : error) << "\n";
        return teravine::cli::kExitFailure;
    }
    return status;
}
