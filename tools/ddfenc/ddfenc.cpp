// ddfenc SCRIPT IMAGE
//
// Loads the encoder library beside this executable, looks up EncodeDDF and
// builds the image. The library prints its own messages; the exit status is 0
// when the image was written, else 1.
#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>

#include "program_info.h"

namespace {

using EncodeDdfFn = int (*)(const char*, const char*);

std::string ExecutableDir()
{
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return ".";
    std::string dir(path, static_cast<std::size_t>(n));
    const std::size_t slash = dir.rfind('/');
    return slash == std::string::npos ? "." : dir.substr(0, slash);
}

}  // namespace

int main(int argc, char** argv)
{
    if (lumora::AnswerHelpOrVersion(argc, argv, "ddfenc", "usage: ddfenc SCRIPT IMAGE\n"))
        return 0;
    if (argc != 3) {
        std::fprintf(stderr, "usage: ddfenc SCRIPT IMAGE\n");
        return 1;
    }
    const std::string libPath = ExecutableDir() + "/encdll12.so";
    void* lib = ::dlopen(libPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (lib == nullptr) {
        std::fprintf(stderr, "ddfenc: cannot load %s: %s\n", libPath.c_str(), ::dlerror());
        return 1;
    }
    auto encode = reinterpret_cast<EncodeDdfFn>(::dlsym(lib, "EncodeDDF"));
    if (encode == nullptr) {
        std::fprintf(stderr, "ddfenc: %s has no EncodeDDF\n", libPath.c_str());
        ::dlclose(lib);
        return 1;
    }
    const int result = encode(argv[1], argv[2]);
    std::fflush(stdout);
    ::dlclose(lib);
    return result == 1 ? 0 : 1;
}
