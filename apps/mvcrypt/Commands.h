// The four commands of mvcrypt. Each returns the process's exit status: 0 only when every
// file succeeded. Failures are one line each on standard error, naming the file and why.
#pragma once

#include "CliOptions.h"

#include <QByteArray>

namespace mv::cli {

int runCrypt(const CliOptions& options, const QByteArray& key);
int runChecksum(const CliOptions& options);
int runWipe(const CliOptions& options);

} // namespace mv::cli
