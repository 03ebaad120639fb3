// The conversions the library offers, as C++ functions. Each returns false
// with a message naming the file and the reason when it fails; a failed
// conversion leaves its destination file as it was.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ddf_image.h"
#include "raw_image.h"

namespace lumora::conv {

// Where the receiver loads its channel data: the download image's single
// data list is of type flash at this address.
inline constexpr uint32_t kChannelDataAddress = 0x00300000;
// Download images use header layout 2.
inline constexpr uint32_t kDownloadImageVersion = 2;

// The raw image carried by the records of a checked download image (read
// with their data): all of type flash, covering the channel-data address range
// without gaps and adding up to a whole raw image. False for any other image,
// which is firmware.
bool RawFromDownloadRecords(const std::vector<encoder::DdfRecordInfo>& records, Bytes& raw);

bool TextToDnf(const std::string& textPath, const std::string& dnfPath, std::string& error);
bool DnfToText(const std::string& dnfPath, const std::string& textPath, std::string& error);
bool RawToText(const std::string& rawPath, const std::string& textPath, const RawImageInfo& info, std::string& error);
bool TextToRaw(const std::string& textPath, const std::string& rawPath, const RawImageInfo& info, std::string& error);
bool TextToDownloadImage(const std::string& textPath, const std::string& ddfPath, const RawImageInfo& info,
                         uint32_t systemId, std::string& error);

}  // namespace lumora::conv
