#pragma once

namespace platform {

// Sends what the program's windows have asked of the window system (to be shown, moved, named)
// at once, rather than when the event loop next waits for events: work done before that wait
// would hold a window's map back. Does nothing where requests are not buffered.
void flushWindowSystem();

} // namespace platform
