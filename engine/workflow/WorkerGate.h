#pragma once
// One worker at a time.
//
// Long work (a scan, an object selection, a paging step) runs on a worker
// thread. The busy flag m_bBusy refuses new commands while it is set; the
// Stop command sets the stop request and clears the busy flag at once, and
// the worker ends at its next check of the stop request. A worker that was
// told to stop may still be finishing: the gate also refuses a new worker
// until the previous one has really ended, so two never touch the engine
// objects together.

#include <atomic>
#include <functional>
#include <thread>

namespace pw {

struct AppState;

class WorkerGate {
public:
    explicit WorkerGate(AppState& state) : state_(state) {}
    WorkerGate(const WorkerGate&) = delete;
    WorkerGate& operator=(const WorkerGate&) = delete;
    // Waits for a running worker.
    ~WorkerGate();

    // No worker runs and the busy flag is clear.
    bool CanStart() const;
    // Sets the busy flag and starts `job` on a worker thread; false (and
    // nothing started) unless CanStart(). The job clears the busy flag itself
    // when its work ends; the gate clears it too if the job did not.
    bool Start(std::function<void()> job);
    // The Stop command: the stop request is set and the busy flag cleared.
    void Stop();
    // A worker thread is still running (stopped or not).
    bool Running() const { return running_.load(); }
    // Waits until the worker has ended.
    void Wait();

private:
    AppState& state_;
    std::thread worker_;
    std::atomic<bool> running_{false};
};

}  // namespace pw
