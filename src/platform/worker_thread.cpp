#include "platform/worker_thread.h"

#include <system_error>

WorkerThread::~WorkerThread() {
    if (!thread_.joinable()) return;
    if (running_.load()) thread_.detach();  // the process end takes it
    else thread_.join();
}

int WorkerThread::Start(std::function<void()> body) {
    if (thread_.joinable()) return -1;
    running_.store(true);
    try {
        thread_ = std::thread([this, body = std::move(body)] {
            body();
            running_.store(false);
        });
    } catch (const std::system_error& e) {
        running_.store(false);
        return e.code().value() ? e.code().value() : -1;
    }
    return 0;
}

void WorkerThread::Join() {
    if (thread_.joinable()) thread_.join();
    running_.store(false);
}
