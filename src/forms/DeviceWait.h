#pragma once
// Waiting for a device that answers on a thread of its own (the print service,
// the sound server): the caller looks for the answer now and then. On the window
// thread the windows go on painting and timers run meanwhile, while the user's
// input waits for the answer, as it does whenever a device is asked; any other
// thread sleeps between two looks.

#include <functional>

namespace forms {

inline constexpr int NoTimeLimit = -1;

// Whether the caller runs on the window thread (the application's), where a wait
// lets the windows paint.
bool onWindowThread();

// Asks done() at once and then every pollMs until it holds (true) or timeoutMs
// have passed (false); with NoTimeLimit until it holds.
bool waitForDevice(const std::function<bool()>& done, int pollMs, int timeoutMs = NoTimeLimit);

} // namespace forms
