#pragma once
// A contact sheet of the written pictures, for a person to judge them: each
// file read back through our own loaders, enlarged, and the skins put together
// as the trainer shows them.

#include <string>

// Reads every picture of the registry from folder and writes the sheet as a PNG.
void WriteContactSheet(const std::string& folder, const std::string& sheetPath);
