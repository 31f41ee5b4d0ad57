#pragma once

#include <QString>

namespace velmora {

// Prepares standard output and standard error for a command (--help, --version, a command without windows such
// as --dose-totals or --leaving-record, a refused command line): on Windows a window program has no console of its
// own, so they are joined to the console it was started from unless redirected, and standard output is put out of
// text mode, so that the totals CSV arrives with its CR LF as they are (not CR CR LF). Nothing to do on Linux.
void prepareCommandOutput();

// A line on standard error, "velmora: " first, as every command tells what went wrong.
void tell(const QString& text);

} // namespace velmora
