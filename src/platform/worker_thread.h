// The one worker thread a connection runs: started, polled for its end,
// joined. Never destroyed while it runs (a thread still running at program
// end is left to the end of the process).
#pragma once

#include <atomic>
#include <functional>
#include <thread>

class WorkerThread {
public:
    WorkerThread() = default;
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;
    ~WorkerThread();

    // Starts body on a new thread; 0, or the system's error code when no
    // thread could be made. A thread still held must have been joined first.
    int Start(std::function<void()> body);
    // Started and not yet at its end.
    bool Running() const { return running_.load(); }
    // Whether a thread is held (started and not yet joined).
    bool Held() const { return thread_.joinable(); }
    // Waits for the end and releases the thread.
    void Join();

private:
    std::thread thread_;
    std::atomic<bool> running_{false};
};
