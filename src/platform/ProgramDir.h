#pragma once
#include <string>

// Folder of the running executable, ending in "/". The configuration lies in its config/.
std::string ExecutableDirectory();
