#include "workflow/WorkerGate.h"

#include "support/AppState.h"

namespace pw {

WorkerGate::~WorkerGate() { Wait(); }

bool WorkerGate::CanStart() const { return !running_.load() && state_.m_bBusy.load() == 0; }

bool WorkerGate::Start(std::function<void()> job) {
    if (!CanStart()) return false;
    // The previous worker has ended (running_ is clear): collect its thread.
    if (worker_.joinable()) worker_.join();
    state_.m_bBusy = 1;
    // A stop was meant for the work that ran before; the new work starts without it.
    state_.m_bStopRequested = false;
    running_ = true;
    worker_ = std::thread([this, work = std::move(job)] {
        work();
        state_.m_bBusy = 0;
        running_ = false;
    });
    return true;
}

void WorkerGate::Stop() {
    state_.m_bStopRequested = true;
    state_.m_bBusy = 0;
}

void WorkerGate::Wait() {
    if (worker_.joinable()) worker_.join();
}

}  // namespace pw
