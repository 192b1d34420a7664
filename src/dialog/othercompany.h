// Which company data an asset file already in the output folder was written
// for, told by its own preamble, so that an export does not replace another
// company's asset-kind file and diagnostics log without a word.
#pragma once
#include <string>

// The company name (code page 932) of the newest asset file in the folder
// of the Windows path asset_path (the one its asset-kind file and log were
// written with) when its preamble names a company or a fiscal year other
// than company (the dialog's company text) and period (its period text,
// "yyyy/mm/dd～yyyy/mm/dd"); "" when it is this company's, or there is none.
// Only regular files are read, their first bytes alone.
std::string OtherCompanyInFolder(const char* asset_path, const std::string& company,
                                 const std::string& period);
