#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace pylonix::linux_platform {

// The paths the system goes through when it starts `program` (an Exec or TryExec value): the
// file found for it (the absolute path as written, or the first executable of that name in
// `searchPath`), every path a symbolic link on the way turns it into, and the real file last.
// `/usr/bin/firefox-esr` gives {"/usr/bin/firefox-esr", "/usr/lib/firefox-esr/firefox-esr"};
// a directory link counts too (`/bin/sh` on a merged /usr). Paths are as seen from `root`,
// which is "/" outside tests: links are followed inside it, absolute targets included.
// Empty when there is no such executable file, the name is relative with a '/', or links loop.
// Reads the file system (status and link calls only).
std::vector<std::string> programPathChain(const std::string& program,
                                          const std::vector<std::filesystem::path>& searchPath,
                                          const std::filesystem::path& root);

}  // namespace pylonix::linux_platform
