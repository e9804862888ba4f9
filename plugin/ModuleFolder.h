#pragma once
// Where the plug-in's own files sit: the folder of the module this code is linked into (the
// plug-in, or its setup module beside it).

#include <filesystem>

// Empty when the loader cannot tell, so names joined to it are looked up as they are.
std::filesystem::path moduleFolder();
