// bundle-path, attribute and replay: application energy attribution and computation on given
// data, exactly as the application power monitor does it.
#include <ostream>

#include "apppower/application_bundle_path.h"
#include "apppower/attribute_processes.h"
#include "apppower_json.h"
#include "probe_command.h"
#include "probe_commands.h"
#include "replay.h"

namespace pylonix::probe {

int runBundlePath(Arguments arguments, std::ostream& out) {
    if (arguments.empty()) throw UsageError("bundle-path needs at least one path");
    Json result = Json::object();
    for (const std::string& path : arguments) {
        result[path] = optionalJson(applicationBundlePath(path));
    }
    printJson(out, result);
    return 0;
}

int runAttribute(Arguments arguments, std::ostream& out) {
    const ParsedArguments parsed = parseArguments(arguments, {});
    const Json input = parseJson(readInputText(parsed.positional));
    requireObject(input, "");
    const std::vector<RunningApplicationIdentity> applications =
        runningApplicationIdentitiesFromJson(member(input, "applications", ""), "applications");
    const ProcessMetadataTable metadata =
        processMetadataTableFromJson(member(input, "metadata", ""), "metadata");
    printJson(out, Json{{"attribution", toJson(attributeProcesses(applications, metadata))}});
    return 0;
}

int runReplay(Arguments arguments, std::ostream& out) {
    const ParsedArguments parsed = parseArguments(arguments, {});
    const Json input = parseJson(readInputText(parsed.positional));
    requireObject(input, "");
    printJson(out, replayPasses(input));
    return 0;
}

}  // namespace pylonix::probe
