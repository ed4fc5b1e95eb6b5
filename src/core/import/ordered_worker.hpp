#pragma once

// A thread of its own that runs an import's side work (decoding records, the engine's arithmetic)
// while the import's own thread writes what was done before: on two cores the work then overlaps
// the writing instead of adding to it.

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <stop_token>
#include <thread>

namespace zelvanor {

class OrderedWorker {
  public:
    // One piece of work: queued, run, waited for. It must outlive its run, and is not touched by
    // the queuing thread between queue() and wait() returning, except through isDone.
    class Job {
      public:
        Job() = default;
        Job(const Job&) = delete;
        Job& operator=(const Job&) = delete;

      private:
        friend class OrderedWorker;
        std::function<void()> task_;
        std::exception_ptr error_;
        bool done_ = false;  // under the worker's lock
    };

    OrderedWorker();
    // Stops at once: a job not yet started is not run, one running is finished first.
    ~OrderedWorker();
    OrderedWorker(const OrderedWorker&) = delete;
    OrderedWorker& operator=(const OrderedWorker&) = delete;

    // Runs `task` after every job queued before it.
    void queue(Job& job, std::function<void()> task);
    bool isDone(const Job& job);
    // Waits for the job to have run; rethrows what its task threw.
    void wait(Job& job);

  private:
    void work(std::stop_token stop);

    std::mutex mutex_;
    std::condition_variable_any changed_;
    std::deque<Job*> queue_;
    std::jthread thread_;  // last: it starts on construction
};

}  // namespace zelvanor
