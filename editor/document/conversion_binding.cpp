#include "conversion_binding.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

namespace lumora {

namespace {

using TwoPathEntry = int (*)(const char*, const char*);
using RawEntry = int (*)(const char*, const char*, uint8_t, uint8_t, uint8_t);
using DdfEntry = int (*)(const char*, const char*, uint8_t, uint8_t, uint8_t, uint32_t);
using LastErrorEntry = const char* (*)();

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Every entry the editor's commands call.
constexpr const char* kEditorEntries[] = {
    "DnfToV3Dnf",  "V3DnfToDnf", "RawToDnf", "DnfToDDF", "UploadData", "DownloadData", "LV3SetProgressCallback",
    "LV3LastError"};

}  // namespace

std::string ProgramDirectory()
{
    std::string path(4096, '\0');
    ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0)
        throw std::system_error(errno, std::generic_category(), "the program's own path");
    path.resize(static_cast<std::size_t>(n));
    auto slash = path.rfind('/');
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string ConversionLibraryPath(const std::string& configured)
{
    if (!configured.empty())
        return configured;
    return ProgramDirectory() + "/" + kConversionLibraryFileName;
}

ConversionLibrary::ConversionLibrary(const std::string& path) : path_(path)
{
    handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        const char* reason = ::dlerror();
        loadError_ =
            Quoted(path) + ": the conversion library cannot be loaded: " + (reason ? reason : "unknown reason");
    }
}

ConversionLibrary::~ConversionLibrary()
{
    if (handle_)
        ::dlclose(handle_);
}

void* ConversionLibrary::Entry(const char* name, std::string& error) const
{
    if (!handle_) {
        error = loadError_;
        return nullptr;
    }
    ::dlerror();
    void* entry = ::dlsym(handle_, name);
    if (!entry)
        error = Quoted(path_) + ": the conversion library has no entry " + Quoted(name);
    return entry;
}

std::string ConversionLibrary::Problem() const
{
    if (!handle_)
        return loadError_;
    std::string missing;
    for (const char* name : kEditorEntries) {
        std::string ignored;
        if (!Entry(name, ignored))
            missing += (missing.empty() ? "" : ", ") + Quoted(name);
    }
    if (missing.empty())
        return {};
    return Quoted(path_) + ": the conversion library has no entry " + missing;
}

bool ConversionLibrary::Finish(int result, const char* entry, std::string& error) const
{
    if (result == 1)
        return true;
    std::string ignored;
    auto lastError = reinterpret_cast<LastErrorEntry>(Entry("LV3LastError", ignored));
    const char* reason = lastError ? lastError() : nullptr;
    error = reason && *reason ? std::string(reason)
                              : std::string(entry) + " failed (the conversion library gives no reason)";
    return false;
}

bool ConversionLibrary::DnfToV3Dnf(const std::string& textPath, const std::string& dnfPath, std::string& error)
{
    auto entry = reinterpret_cast<TwoPathEntry>(Entry("DnfToV3Dnf", error));
    return entry && Finish(entry(textPath.c_str(), dnfPath.c_str()), "DnfToV3Dnf", error);
}

bool ConversionLibrary::V3DnfToDnf(const std::string& dnfPath, const std::string& textPath, std::string& error)
{
    auto entry = reinterpret_cast<TwoPathEntry>(Entry("V3DnfToDnf", error));
    return entry && Finish(entry(dnfPath.c_str(), textPath.c_str()), "V3DnfToDnf", error);
}

bool ConversionLibrary::RawToDnf(const std::string& rawPath, const std::string& textPath, const ReceiverType& receiver,
                                 std::string& error)
{
    auto entry = reinterpret_cast<RawEntry>(Entry("RawToDnf", error));
    return entry &&
           Finish(entry(rawPath.c_str(), textPath.c_str(), receiver.menuType, receiver.flashType, receiver.ant32),
                  "RawToDnf", error);
}

bool ConversionLibrary::DnfToRaw(const std::string& textPath, const std::string& rawPath, const ReceiverType& receiver,
                                 std::string& error)
{
    auto entry = reinterpret_cast<RawEntry>(Entry("DnfToRaw", error));
    return entry &&
           Finish(entry(textPath.c_str(), rawPath.c_str(), receiver.menuType, receiver.flashType, receiver.ant32),
                  "DnfToRaw", error);
}

bool ConversionLibrary::DnfToDDF(const std::string& textPath, const std::string& ddfPath, const ReceiverType& receiver,
                                 uint32_t systemId, std::string& error)
{
    auto entry = reinterpret_cast<DdfEntry>(Entry("DnfToDDF", error));
    return entry && Finish(entry(textPath.c_str(), ddfPath.c_str(), receiver.menuType, receiver.flashType,
                                 receiver.ant32, systemId),
                           "DnfToDDF", error);
}

}  // namespace lumora
