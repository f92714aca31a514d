// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure.h"

#include <fstream>
#include <sstream>
#include <string>

namespace solandre::bench {

namespace {

double statusField(const char* name)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(name, 0) != 0) continue;
        std::istringstream fields(line.substr(std::string(name).size()));
        double kb = 0;
        fields >> kb;
        return kb / 1024.0;
    }
    return 0;
}

} // namespace

void resetPeakMemory()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
}

double peakMemoryMb() { return statusField("VmHWM:"); }
double currentMemoryMb() { return statusField("VmRSS:"); }
double currentAnonymousMemoryMb() { return statusField("RssAnon:"); }

} // namespace solandre::bench
