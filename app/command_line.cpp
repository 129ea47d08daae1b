#include "app/command_line.h"

namespace app {
namespace {

bool IsSeparator(char c) {
    const auto code = static_cast<unsigned char>(c);
    return code >= 1 && code <= 32;
}

bool IsTrimmed(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
    std::vector<std::string> args;
    size_t i = 0;
    const size_t n = commandLine.size();
    for (;;) {
        while (i < n && IsSeparator(commandLine[i])) ++i;
        if (i >= n || commandLine[i] == '\0') break;
        std::string arg;
        bool quoted = false;
        while (i < n && commandLine[i] != '\0' && (quoted || !IsSeparator(commandLine[i]))) {
            if (commandLine[i] == '"')
                quoted = !quoted;
            else
                arg += commandLine[i];
            ++i;
        }
        args.push_back(std::move(arg));
    }
    return args;
}

bool IsQuitRequest(std::string_view commandLine) {
    const std::vector<std::string> args = SplitCommandLine(commandLine);
    if (args.size() != 2) return false;
    std::string_view arg = args[1];
    while (!arg.empty() && IsTrimmed(arg.front())) arg.remove_prefix(1);
    while (!arg.empty() && IsTrimmed(arg.back())) arg.remove_suffix(1);
    std::string upper(arg);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper == "-Q";
}

}  // namespace app
