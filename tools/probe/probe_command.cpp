#include "probe_command.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

namespace pylonix::probe {

std::string readInputText(const std::vector<std::string>& positional) {
    if (positional.size() > 1) throw UsageError("expected at most one input file");
    if (positional.empty() || positional.front() == "-") {
        return {std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
    }
    std::ifstream file(positional.front(), std::ios::binary);
    if (!file) throw InputError("cannot read " + positional.front());
    std::ostringstream content;
    content << file.rdbuf();
    if (file.bad()) throw InputError("cannot read " + positional.front());
    return content.str();
}

const std::string* ParsedArguments::option(std::string_view name) const {
    for (const auto& [key, value] : options) {
        if (key == name) return &value;
    }
    return nullptr;
}

ParsedArguments parseArguments(Arguments arguments, std::span<const std::string_view> optionNames) {
    ParsedArguments parsed;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument.size() > 2 && argument.starts_with("--")) {
            bool known = false;
            for (const std::string_view name : optionNames) known = known || argument == name;
            if (!known) throw UsageError("unknown option " + argument);
            if (i + 1 >= arguments.size()) throw UsageError(argument + " needs a value");
            parsed.options.emplace_back(argument, arguments[++i]);
        } else {
            parsed.positional.push_back(argument);
        }
    }
    return parsed;
}

double parseDoubleOption(const std::string& text, std::string_view name) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        throw UsageError(std::string(name) + " takes a number");
    }
    return value;
}

long long parseCountOption(const std::string& text, std::string_view name) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 1) {
        throw UsageError(std::string(name) + " takes a whole number of at least 1");
    }
    return value;
}

void printJson(std::ostream& out, const Json& json) {
    out << json.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
}

}  // namespace pylonix::probe
