// --help and --version, answered alike by every command-line program: the
// usage text, or the program's name with the project's version, on standard
// output and exit status 0.
#pragma once

#include <cstdio>
#include <cstring>

namespace lumora {

// True after printing, when the only argument asks for help or the version.
inline bool AnswerHelpOrVersion(int argc, char** argv, const char* program, const char* usage)
{
    if (argc != 2)
        return false;
    if (std::strcmp(argv[1], "--help") == 0) {
        std::fputs(usage, stdout);
        return true;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s %s\n", program, LUMORA_VERSION);
        return true;
    }
    return false;
}

}  // namespace lumora
