#pragma once

namespace Platform {
// Gives freed heap memory back to the system, as the main window does after a resize.
void trimWorkingSet();
} // namespace Platform
