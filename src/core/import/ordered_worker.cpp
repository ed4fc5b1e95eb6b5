#include "core/import/ordered_worker.hpp"

#include <utility>

namespace zelvanor {

OrderedWorker::OrderedWorker() : thread_([this](std::stop_token stop) { work(stop); }) {}

OrderedWorker::~OrderedWorker() {
    thread_.request_stop();
    thread_.join();
}

void OrderedWorker::queue(Job& job, std::function<void()> task) {
    job.task_ = std::move(task);
    job.error_ = nullptr;
    {
        std::lock_guard lock(mutex_);
        job.done_ = false;
        queue_.push_back(&job);
    }
    changed_.notify_all();
}

bool OrderedWorker::isDone(const Job& job) {
    std::lock_guard lock(mutex_);
    return job.done_;
}

void OrderedWorker::wait(Job& job) {
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return job.done_; });
    }
    if (job.error_) std::rethrow_exception(job.error_);
}

void OrderedWorker::work(std::stop_token stop) {
    while (true) {
        Job* job = nullptr;
        {
            std::unique_lock lock(mutex_);
            const bool queued = changed_.wait(lock, stop, [&] { return !queue_.empty(); });
            if (!queued || stop.stop_requested()) return;
            job = queue_.front();
            queue_.pop_front();
        }
        try {
            job->task_();
        } catch (...) {
            job->error_ = std::current_exception();
        }
        {
            std::lock_guard lock(mutex_);
            job->done_ = true;
        }
        changed_.notify_all();
    }
}

}  // namespace zelvanor
