// Public entry points of the download-image encoder (library encoder_core).
//
// Both entries run the same image writer over the encoder's process-wide fixed
// buffers: they are not re-entrant, calls must not overlap. Every diagnostic is
// printed on standard output; the result is 1 when the image was written
// completely, 0 otherwise, and after a 0 no image file is left at outFile.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace encoder {

// Data type codes of a block record.
inline constexpr uint32_t kTypeLoader = 0;
inline constexpr uint32_t kTypeApplication = 1;
inline constexpr uint32_t kTypeEeprom = 2;
inline constexpr uint32_t kTypeFlash = 3;

// Largest chunk of a data file held by one block record.
inline constexpr uint32_t kMaxChunk = 32758;
// Most data files one image can name.
inline constexpr int kMaxDataLists = 127;
// Longest data file path.
inline constexpr std::size_t kMaxPathLen = 80;

// One data file of an image, as a data list of a configuration script gives it.
struct ImageDataItem {
    std::string file;  // path of the data file, at most kMaxPathLen bytes
    uint32_t type = 0;  // type code; 0..3 in layout 1, 0..255 in layout 2
    bool compress = false;  // compress each chunk where that makes it smaller
    uint32_t address = 0;  // load address of the file's first byte
};

// The content of a configuration script, in memory.
struct ImageConfig {
    uint32_t id = 0;
    uint32_t idEnd = 0;  // end of the ID range; give id when there is none
    uint32_t ver = 2;  // 1..65535; below 2 selects header layout 1, else layout 2
    std::vector<ImageDataItem> data;  // at most kMaxDataLists entries, image order
};

// Parses the configuration script cfgFile and writes the image outFile.
// This is what the exported EncodeDDF does.
int EncodeParameter(const char* cfgFile, const char* outFile);

// Writes the image outFile for an in-memory configuration, with the same image
// writer, messages and failure contract as EncodeParameter. A configuration
// that no script could express (version 0 or above 65535, more than 127 data
// files, a path longer than 80 bytes, a type code that does not fit the
// layout) is refused with a message before anything is written.
int EncodeImage(const ImageConfig& config, const char* outFile);

}  // namespace encoder
