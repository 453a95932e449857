#pragma once

class Options;
class SettingsStore;

namespace Startup {
// Reads the stored options into the switches: "Topme", "Download" (a missing or
// non-numeric value keeps 0) and "Homepage" (14 characters or fewer means the built-in
// default). Safe picture mode and ad blocking always start off.
void readOptions(const SettingsStore &store, Options &options);
} // namespace Startup
