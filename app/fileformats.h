// Every file format the program knows, for the command line and the windows.
#pragma once

#include "document/fileformat.h"

namespace mavrel {

const FormatRegistry& fileFormats();

} // namespace mavrel
