#pragma once
// Oxalis Monitor without its window, for scripts and unattended runs: the
// help, the version and five commands. None of them needs a display: the
// arguments are read before any application object exists, and the
// commands run on a QCoreApplication with the same core as the window.
//
//   oxalis-monitor --export-csv IN.DA1 OUT.csv
//       Reads a data file and writes its samples as CSV.
//   oxalis-monitor --record OUT.DA1 --seconds N [--app-folder DIR]
//       Starts as the window does (settings of the app folder, port search),
//       records N seconds from the module that answers, saves the data file,
//       closes as the window does without questions (settings written, port
//       closed) and prints one summary line. SIGINT or SIGTERM during the
//       recording ends it early; what was recorded is saved. A recording
//       without a single measurement leaves OUT.DA1 as it was. A lost port
//       or a module that stops sending does not end the recording: it goes
//       on when the module comes back, and the summary calls it partial.
//   oxalis-monitor --read-setup OUT.OXS [--app-folder DIR]
//   oxalis-monitor --write-setup IN.OXS [--app-folder DIR]
//       Start as --record does, then open the setup window's core and click
//       its handlers in turn: "Read all" and the table read, saved as a
//       setup archive; or the archive loaded, "Write all" and the table
//       write, each verified by its read-back.
//   oxalis-monitor --flash FILE [--app-folder DIR]
//       Checks the firmware file whole, then starts as --record does and
//       drives the firmware window: firmware mode, progress on standard
//       error, the module's success report, identification again.
//
// Messages go to standard error, the help, the version and the summary to
// standard output.
#include <string>

namespace oxalis {

enum HeadlessExit : int {
  kExitDone = 0,
  kExitFailed = 1,    // a file could not be read or written, not a data file, nothing recorded
  kExitUsage = 2,     // the command line is wrong
  kExitNoModule = 3,  // the port search ended without a module
  kExitPartial = 4,   // recorded and saved, but the port was lost or the module stopped sending on the way
  kExitNotVerified = 5,  // a setup written, but the module holds other values or did not answer for some
};

enum class StartKind {
  Window,   // no command: the main window
  Help,     // -h, --help
  Version,  // -v, --version
  Command,  // --export-csv, --record, --read-setup, --write-setup or --flash
};

// What the arguments ask for. The help wins over everything else, then the
// version, then a command.
StartKind StartKindOf(int argc, char* argv[]);

// The text --help prints: every option, the commands with their arguments
// and the exit statuses.
std::string HelpText();

// Runs a command; returns the process's exit status.
int RunHeadless(int argc, char* argv[]);

}  // namespace oxalis
