#pragma once

namespace platform {

// Empties the clipboard and the primary selection of the window system where this program put
// what they hold, so that nothing a member copied or selected reaches the next member or any
// other program once the member is gone. What another program put there is left alone.
void clearOwnedClipboard();

} // namespace platform
