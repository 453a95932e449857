#pragma once

namespace FileNames {
// File names are UTF-8 here, as Qt takes them. When the user's locale cannot be loaded
// (a language not generated on this system) the C library falls back to ASCII, and the
// engine then cannot write or link a file with any other character in its name (a page
// saved complete under a Chinese name lost every picture link). The character type is
// then made C.UTF-8, for this process and the processes it starts; messages and formats
// stay as they were. Call after the application object exists (it sets the locale).
void useUtf8();
} // namespace FileNames
