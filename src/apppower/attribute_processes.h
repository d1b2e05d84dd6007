#pragma once

#include <vector>

#include "apppower/application_power_model.h"

namespace pylonix {

// Ties the current user's processes to running applications, in three stages; a process placed
// by an earlier stage is not looked at again:
// 1. every process id of every identity, in list order (a later identity wins a shared id);
// 2. a process whose executable lies in the bundle of a running application;
// 3. a process whose nearest placed ancestor (walking parent ids through the metadata) is
//    placed; parent id 0 or 1, a cycle, or a parent missing from the metadata leaves it out.
// Stage 3 remembers every walked chain, so each process is walked through at most once and the
// cost per process does not grow with the size of the table or the depth of its chains.
ProcessAttribution attributeProcesses(const std::vector<RunningApplicationIdentity>& applications,
                                      const ProcessMetadataTable& metadata);

}  // namespace pylonix
