#pragma once

// The subcommands' entry points; each lives in the file of its subject.
#include "probe_command.h"

namespace pylonix::probe {

int runSnapshot(Arguments arguments, std::ostream& out);
int runBattery(Arguments arguments, std::ostream& out);
int runBundlePath(Arguments arguments, std::ostream& out);
int runAttribute(Arguments arguments, std::ostream& out);
int runReplay(Arguments arguments, std::ostream& out);
int runView(Arguments arguments, std::ostream& out);
int runLoginItem(Arguments arguments, std::ostream& out);
#ifdef PYLONIX_PROBE_HAS_QT
int runUpdateCheck(Arguments arguments, std::ostream& out);
int runWatch(Arguments arguments, std::ostream& out);
#endif

}  // namespace pylonix::probe
