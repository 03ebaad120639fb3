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

Result<std::string> ProgramDirectory()
{
    std::string path(4096, '\0');
    ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0) {
        const int error = errno;
        return Status::Failure("the program's own path: " + std::generic_category().message(error));
    }
    path.resize(static_cast<std::size_t>(n));
    auto slash = path.rfind('/');
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

Result<std::string> ConversionLibraryPath(const std::string& configured)
{
    if (!configured.empty())
        return configured;
    const Result<std::string> dir = ProgramDirectory();
    if (!dir)
        return dir.status();
    return dir.value() + "/" + kConversionLibraryFileName;
}

ConversionLibrary::ConversionLibrary(const std::string& path) : path_(path) { Load(); }

ConversionLibrary::ConversionLibrary(const Result<std::string>& path)
    : path_(path ? path.value() : std::string()), loaded_(path.status())
{
    if (path)
        Load();
}

void ConversionLibrary::Load()
{
    handle_ = ::dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        const char* reason = ::dlerror();
        loaded_ = Status::Failure(Quoted(path_) +
                                  ": the conversion library cannot be loaded: " + (reason ? reason : "unknown reason"));
    }
}

ConversionLibrary::~ConversionLibrary()
{
    if (handle_)
        ::dlclose(handle_);
}

Result<void*> ConversionLibrary::Entry(const char* name) const
{
    if (!handle_)
        return loaded_;
    ::dlerror();
    void* entry = ::dlsym(handle_, name);
    if (!entry)
        return Status::Failure(Quoted(path_) + ": the conversion library has no entry " + Quoted(name));
    return entry;
}

std::string ConversionLibrary::Problem() const
{
    if (!handle_)
        return loaded_.message();
    std::string missing;
    for (const char* name : kEditorEntries) {
        if (!Entry(name))
            missing += (missing.empty() ? "" : ", ") + Quoted(name);
    }
    if (missing.empty())
        return {};
    return Quoted(path_) + ": the conversion library has no entry " + missing;
}

Status ConversionLibrary::Finish(int result, const char* entry) const
{
    if (result == 1)
        return {};
    const Result<void*> lastError = Entry("LV3LastError");
    const char* reason = lastError ? reinterpret_cast<LastErrorEntry>(lastError.value())() : nullptr;
    return Status::Failure(reason && *reason ? std::string(reason)
                                             : std::string(entry) + " failed (the conversion library gives no reason)");
}

template <typename Fn, typename... Args>
Status ConversionLibrary::Call(const char* name, Args... args) const
{
    const Result<void*> entry = Entry(name);
    if (!entry)
        return entry.status();
    return Finish(reinterpret_cast<Fn>(entry.value())(args...), name);
}

Status ConversionLibrary::DnfToV3Dnf(const std::string& textPath, const std::string& dnfPath)
{
    return Call<TwoPathEntry>("DnfToV3Dnf", textPath.c_str(), dnfPath.c_str());
}

Status ConversionLibrary::V3DnfToDnf(const std::string& dnfPath, const std::string& textPath)
{
    return Call<TwoPathEntry>("V3DnfToDnf", dnfPath.c_str(), textPath.c_str());
}

Status ConversionLibrary::RawToDnf(const std::string& rawPath, const std::string& textPath,
                                   const ReceiverType& receiver)
{
    return Call<RawEntry>("RawToDnf", rawPath.c_str(), textPath.c_str(), receiver.menuType, receiver.flashType,
                          receiver.ant32);
}

Status ConversionLibrary::DnfToRaw(const std::string& textPath, const std::string& rawPath,
                                   const ReceiverType& receiver)
{
    return Call<RawEntry>("DnfToRaw", textPath.c_str(), rawPath.c_str(), receiver.menuType, receiver.flashType,
                          receiver.ant32);
}

Status ConversionLibrary::DnfToDDF(const std::string& textPath, const std::string& ddfPath,
                                   const ReceiverType& receiver, uint32_t systemId)
{
    return Call<DdfEntry>("DnfToDDF", textPath.c_str(), ddfPath.c_str(), receiver.menuType, receiver.flashType,
                          receiver.ant32, systemId);
}

}  // namespace lumora
