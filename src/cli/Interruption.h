#pragma once

#include <atomic>

// Ctrl+C, SIGTERM and SIGHUP ask a command to stop: the file under way is
// left as it was, what was done is told, and the exit status says which
// signal it was (130, 143, 129).
namespace Interruption {

void install();
// Set once a signal arrived; what a rewrite watches to abandon its copy.
const std::atomic<bool>& flag();
bool requested();
int exitStatus(); // 128 + the signal's number

} // namespace Interruption
