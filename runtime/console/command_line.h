// The program's command line as the runtime hands it to a program: parsed
// once, at the process entry, into a typed record (the host's record,
// re-exported here so programs need no host header).
//
//     rt::CommandLine command_line;
//     try {
//         command_line = rt::parse_command_line(argc, argv);
//     } catch (const rt::UsageError& e) {
//         ... report e.what() on standard error, exit with rt::kUsageExitCode
//     }
//     ... --help, --version, --list-ports; then
//     return rt::start_program(command_line, options, "Qk14", main_routine, installers);
#pragma once

#include <string>

#include "host/program_arguments.h"

namespace rt {

using CommandLine = host::ProgramArguments;
using UsageError = host::UsageError;
using PortOption = host::PortOption;
using ScriptedRun = host::ScriptedRun;
using FrontEndKind = host::FrontEndKind;
inline constexpr int kUsageExitCode = host::kUsageExitCode;

// Throws UsageError for a bad command line.
inline CommandLine parse_command_line(int argc, char* const* argv)
{
    return host::parse_program_arguments(argc, argv);
}

// The option lines of --help, aligned.
inline std::string command_line_options_help()
{
    return host::program_options_help();
}

}  // namespace rt
