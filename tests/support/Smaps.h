// What the kernel says of the mapping that holds an address: /proc/self/smaps.
#pragma once

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

namespace mv::test {

// The VmFlags of the mapping holding address ("rd wr mr mw me ac dd ..."); empty if none.
inline std::string vmFlagsAt(const void* address)
{
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    std::ifstream smaps("/proc/self/smaps");
    bool inside = false;
    for (std::string line; std::getline(smaps, line);) {
        std::uintptr_t start = 0;
        std::uintptr_t end = 0;
        char dash = 0;
        std::istringstream head(line);
        if (head >> std::hex >> start >> dash >> end && dash == '-' && line.find(':') > line.find(' '))
            inside = start <= at && at < end;
        else if (inside && line.rfind("VmFlags:", 0) == 0)
            return line.substr(8) + " ";
    }
    return {};
}

// True when a core dump would leave out the mapping holding address.
inline bool excludedFromDumps(const void* address)
{
    return vmFlagsAt(address).find(" dd ") != std::string::npos;
}

} // namespace mv::test
