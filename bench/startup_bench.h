// Start-up figures of the launcher under Wine (startup_bench.cpp).
#pragma once

#include <string>

namespace bench {

void PrintStartupFigures(const std::string& iconDir);
void PrintAllIconsFigures(const std::string& iconDir);
int RunAllIconsChild();

}  // namespace bench
