// A Windows initialisation file ("[Section]" lines, then "key=value" lines),
// read and written with the behaviour of the Windows profile functions so that
// a file written there reads unchanged here and the other way round.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "status.h"

namespace lumora {

class TIniFile {
public:
    // An empty store that will be written with CR LF line ends.
    TIniFile() = default;

    // Reads the file at `path`. A missing file gives an empty store. Lines
    // that are neither sections nor keys are kept and ignored, as the profile
    // functions do. A file that exists but cannot be read, is larger than
    // 1 MiB or holds a zero byte (binary data, UTF-16) is no initialisation
    // file: a failure with the path and the reason.
    static Result<TIniFile> Load(const std::string& path);

    // The store of `text`, the content of an initialisation file; `origin`
    // names it in the failure given for a text holding a zero byte.
    static Result<TIniFile> FromText(std::string text, const std::string& origin);

    // The value of `key` in `section` (names compared without regard to case),
    // trimmed of surrounding blanks and of one pair of enclosing quotes;
    // nothing when the section or key is missing.
    std::optional<std::string> Find(const std::string& section, const std::string& key) const;
    std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
    // `def` when the key is missing or its value is not an integer.
    int32_t ReadInteger(const std::string& section, const std::string& key, int32_t def) const;

    // Replaces the value of an existing key where it stands; a new key goes
    // after the last entry of its section, a new section at the end.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int32_t value);

    // Writes the whole store to `path` with WriteFileAtomically, so a failed
    // write leaves the old file intact. A failure gives the path and the
    // system's reason.
    Status Save(const std::string& path) const;

    // The file as it would be saved.
    std::string Text() const;

private:
    struct Range {
        std::size_t header;  // index of the "[Section]" line
        std::size_t end;  // index of the next section's header, or size
    };
    std::optional<Range> FindSection(const std::string& section) const;
    std::optional<std::size_t> FindKey(const Range& range, const std::string& key) const;

    std::vector<std::string> lines_;  // without line ends
    std::string lineEnd_ = "\r\n";
};

}  // namespace lumora
