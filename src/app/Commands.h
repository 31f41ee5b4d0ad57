#pragma once

#include "app/CommandLine.h"

// The work Velmora does without windows, one command per option, each of one shape: the store opened (never
// created: a folder not there, a share not mounted, is refused), the command run, what it made on standard
// output, every doubt and reason on standard error, and its exit status.
//  --dose-totals, --dose-distribution  the CSV; UnreadableFilesStatus when some personal files do not read
//  --import-month FILE [--layout NAME] the month saved for every registrant; refused whole on any doubt
//  --leaving-record NAME               the CSV of doses elsewhere for the next employer
//  --import-other-doses FILE           doses elsewhere and declarations added; refused whole on any doubt
//  --history                           the change history as CSV; BrokenHistoryStatus when it does not
//                                      read whole (every record that reads is written)
//  --verify                            every file and the history's chain and agreement checked
//  --set-aside-history                 a damaged history kept aside and begun anew
//  --backup FOLDER                     a generation made; StoreShrankStatus when the store shrank, 1 when
//                                      a generation no longer kept holds what Velmora did not make
//  --verify-backup FOLDER              every generation checked against its manifest
//  --archive-year YEAR                 the closed year's PDF/A reports, CSVs and manifest
// A request to end (Ctrl+C, SIGTERM, SIGHUP) stops an import between two files: 128 + the signal. Any other
// failure is 1, with its message.
namespace velmora {

constexpr int UnreadableFilesStatus = 2;
constexpr int BrokenHistoryStatus = 2;
constexpr int StoreShrankStatus = 3;

// Runs the command the options ask for and gives its exit status; nothing when they ask for none (the
// windows are to be shown).
std::optional<int> runCommand(int& argc, char** argv, const StartOptions& options);

} // namespace velmora
