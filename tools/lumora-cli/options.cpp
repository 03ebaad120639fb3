// Options shared by several subcommands.
#include <charconv>
#include <ostream>

#include "commands.h"

namespace lumora::cli {

bool ParseFlashType(const Arguments& args, std::size_t& index, int& flashType, std::ostream& err)
{
    if (index + 1 >= args.size()) {
        err << "lumora-cli: --flash-type needs a value\n";
        return false;
    }
    const std::string& text = args[++index];
    int value = -1;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0 || value > 255) {
        err << "lumora-cli: --flash-type wants a number 0..255, not '" << text << "'\n";
        return false;
    }
    flashType = value;
    return true;
}

}  // namespace lumora::cli
