// The binding of the conversion library: loaded by full path at run time,
// its entries looked up by name. Every failure (a library that does not load,
// a missing entry, a conversion that fails) comes back as a message that names
// the file concerned and the reason.
#pragma once

#include <cstdint>
#include <string>

#include "status.h"

namespace lumora {

inline constexpr const char* kConversionLibraryFileName = "LV3DLL.so";

// The directory of the running program, or why it is unknown.
Result<std::string> ProgramDirectory();

// The conversion library beside the running program, unless `configured`
// names one.
Result<std::string> ConversionLibraryPath(const std::string& configured = {});

// The receiver a raw or download image is made for.
struct ReceiverType {
    uint8_t menuType = 0;
    uint8_t flashType = 0;
    uint8_t ant32 = 1;  // 0: 16 antennas, 1: 32
};

class ConversionLibrary {
public:
    // Loads the library at `path`; see LoadStatus().
    explicit ConversionLibrary(const std::string& path);
    // Loads the library at the path found; when no path was found the
    // library has not loaded, for the reason the path is unknown.
    explicit ConversionLibrary(const Result<std::string>& path);
    ~ConversionLibrary();
    ConversionLibrary(const ConversionLibrary&) = delete;
    ConversionLibrary& operator=(const ConversionLibrary&) = delete;

    // Success when the library loaded, else the reason it did not.
    const Status& LoadStatus() const { return loaded_; }
    const std::string& Path() const { return path_; }

    // Each returns success, or failure with the reason.
    Status DnfToV3Dnf(const std::string& textPath, const std::string& dnfPath);
    Status V3DnfToDnf(const std::string& dnfPath, const std::string& textPath);
    Status RawToDnf(const std::string& rawPath, const std::string& textPath, const ReceiverType& receiver);
    Status DnfToRaw(const std::string& textPath, const std::string& rawPath, const ReceiverType& receiver);
    Status DnfToDDF(const std::string& textPath, const std::string& ddfPath, const ReceiverType& receiver,
                    uint32_t systemId);

    // Why the editor cannot use this library: the load error, or the
    // entries it lacks by name; empty when every entry is there.
    std::string Problem() const;

    // The address of entry `name`, or the reason there is none.
    Result<void*> Entry(const char* name) const;

private:
    // Opens the library at path_, or records in loaded_ why it does not open.
    void Load();
    // Turns an entry's 1/0 result into success, or failure with the library's reason.
    Status Finish(int result, const char* entry) const;
    // Looks up entry `name` of type `Fn` and calls it with `args`.
    template <typename Fn, typename... Args>
    Status Call(const char* name, Args... args) const;

    std::string path_;
    Status loaded_;
    void* handle_ = nullptr;
};

}  // namespace lumora
