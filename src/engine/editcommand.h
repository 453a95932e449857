#pragma once

// The engine's own editing commands on a page (its clipboard and selection).
enum class EditCommand { Copy, Cut, Paste, SelectAll };
