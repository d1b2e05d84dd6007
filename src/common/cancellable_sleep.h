#pragma once

#include <chrono>
#include <functional>

#include "common/cancellation_token.h"
#include "common/main_executor.h"

namespace pylonix {

// The one wait of a cooperative loop: runs `continuation` on the main thread once `duration`
// has passed, or, when `token` is cancelled first, withdraws the timer and posts the
// continuation at once. Either way the continuation runs exactly once (unless the executor
// goes away first) and must check the token itself:
//
//     sleepFor(executor, interval, token, [weak, token] {
//         if (token.isCancelled()) return;   // woken early by a cancellation
//         ...
//     });
void sleepFor(MainExecutor& executor, std::chrono::nanoseconds duration,
              const CancellationToken& token, std::function<void()> continuation);

}  // namespace pylonix
