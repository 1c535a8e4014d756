// SPDX-License-Identifier: GPL-3.0-or-later
// teravine-cli: the diagram's calculations without a window, for scripted batches.
#include "cli/commands.h"
#include "teravine_version.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <iterator>
#include <new>
#include <string>
#include <utility>

int main(int argc, char** argv) {
    CLI::App app{"Teravine headless tool: illite k, N, %S and Nfp from XRD peak widths"};
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string("teravine-cli ") + teravine::kVersion);
    int status = teravine::cli::kExitOk;
    // A command named first is the only one set up, so the tool starts without building the
    // options of all the others; the version needs none. Anything else (help, a mistyped
    // name) sees them all.
    using Adder = void (*)(CLI::App&, int&);
    static constexpr std::pair<const char*, Adder> commands[] = {
        {"identify", teravine::cli::add_identify_command},
        {"treat", teravine::cli::add_treat_command},
        {"lines", teravine::cli::add_lines_command},
        {"plot", teravine::cli::add_plot_command},
        {"measure", teravine::cli::add_measure_command},
        {"pattern", teravine::cli::add_pattern_command},
        {"instrument", teravine::cli::add_instrument_command},
        {"cis", teravine::cli::add_cis_command},
        {"report", teravine::cli::add_report_command},
        {"thickness", teravine::cli::add_thickness_command},
        {"simulate", teravine::cli::add_simulate_command},
    };
    const char* first = argc > 1 ? argv[1] : "";
    const auto named =
        std::find_if(std::begin(commands), std::end(commands),
                     [&](const auto& command) { return std::strcmp(command.first, first) == 0; });
    if (named != std::end(commands)) {
        named->second(app, status);
    } else if (std::strcmp(first, "--version") != 0) {
        for (const auto& command : commands) {
            command.second(app, status);
        }
    }
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
        // A write that failed before this flush may have left no reason behind.
        const int reason = flushed ? errno : error;
        std::cerr << "teravine-cli: standard output cannot be written"
                  << (reason != 0 ? std::string(": ") + std::strerror(reason) : std::string())
                  << ".\n";
        return teravine::cli::kExitFailure;
    }
    return status;
}
