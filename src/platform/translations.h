#pragma once

class QCoreApplication;

namespace Translations {
// The whole program reads Simplified Chinese: Qt's own buttons and dialogs (its Chinese
// translations, where installed), and the engine's own pages, which take the default
// locale when the engine starts. Call once the application exists, before any engine
// profile is made.
void useChinese(QCoreApplication &app);
} // namespace Translations
