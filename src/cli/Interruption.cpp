#include "cli/Interruption.h"

#include <csignal>

namespace Interruption {

namespace {

std::atomic<bool> g_requested{false};
std::atomic<int> g_signal{SIGINT};

void onSignal(int signal) {
    g_signal.store(signal);
    g_requested.store(true);
}

} // namespace

void install() {
    struct sigaction action {};
    action.sa_handler = onSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        ::sigaction(signal, &action, nullptr);
    }
}

const std::atomic<bool>& flag() {
    return g_requested;
}

bool requested() {
    return g_requested.load();
}

int exitStatus() {
    return 128 + g_signal.load();
}

} // namespace Interruption
