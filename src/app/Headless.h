#pragma once
// Oxalis Monitor without its window, for scripts and unattended runs. Both
// commands run on a QCoreApplication, so no display is needed, and use the
// same core as the window does.
//
//   oxalis-monitor --export-csv IN.DA1 OUT.csv
//       Reads a data file and writes its samples as CSV.
//   oxalis-monitor --record OUT.DA1 --seconds N [--app-folder DIR]
//       Starts as the window does (settings of the app folder, port search),
//       records N seconds from the module that answers, saves the data file,
//       closes as the window does without questions (settings written, port
//       closed) and prints one summary line. SIGINT or SIGTERM during the
//       recording ends it early; what was recorded is saved.
//
// Messages go to standard error, the summary to standard output.
namespace oxalis {

enum HeadlessExit : int {
  kExitDone = 0,
  kExitFailed = 1,    // a file could not be read or written, not a data file, nothing recorded
  kExitUsage = 2,     // the command line is wrong
  kExitNoModule = 3,  // the port search ended without a module
};

// True when the arguments ask for one of the commands above; to be asked
// before any application object exists.
bool IsHeadlessCommand(int argc, char* argv[]);

// Runs the command; returns the process's exit status.
int RunHeadless(int argc, char* argv[]);

}  // namespace oxalis
