#pragma once

#include <QByteArray>

#include <atomic>
#include <functional>

// Two runs embedding covers into one album folder (two windows, a window and
// the command line, two terminals) take turns: each holds a lock named by the
// folder's device and inode in the per-user runtime folder while it works
// there. Blocking: for workers and the command line.
class EmbedLock {
public:
    // Waits for the folder's lock; `waiting` is called once when another run
    // holds it. Gives up when `stop` becomes true (held() is false then).
    EmbedLock(const QByteArray& folder, const std::atomic<bool>* stop,
              const std::function<void()>& waiting = {});
    ~EmbedLock();
    EmbedLock(const EmbedLock&) = delete;
    EmbedLock& operator=(const EmbedLock&) = delete;

    bool held() const { return m_held; }

private:
    int m_fd = -1;
    bool m_held = false;
};
