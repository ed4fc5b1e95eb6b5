#include "core/import/ordered_worker.hpp"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

namespace zelvanor {
namespace {

TEST(OrderedWorker, RunsJobsInTheOrderQueuedAndPassesOnWhatTheyThrow) {
    std::vector<int> ran;  // written by the worker only, read after every wait
    std::array<OrderedWorker::Job, 5> jobs;
    OrderedWorker worker;
    for (int i = 0; i < 5; ++i) {
        worker.queue(jobs[static_cast<std::size_t>(i)], [&ran, i] {
            // The first job is the slowest: a worker that did not keep the order would show it.
            if (i == 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
            ran.push_back(i);
            if (i == 2) throw std::runtime_error("job 2 failed");
        });
    }
    worker.wait(jobs[0]);
    worker.wait(jobs[1]);
    EXPECT_THROW(
        {
            try {
                worker.wait(jobs[2]);
            } catch (const std::runtime_error& e) {
                EXPECT_STREQ(e.what(), "job 2 failed");
                throw;
            }
        },
        std::runtime_error);
    // A job that threw stops nothing after it.
    worker.wait(jobs[4]);
    EXPECT_TRUE(worker.isDone(jobs[3]));
    EXPECT_EQ(ran, (std::vector<int>{0, 1, 2, 3, 4}));

    // A job can be queued again once it has run.
    worker.queue(jobs[0], [&ran] { ran.push_back(9); });
    worker.wait(jobs[0]);
    EXPECT_EQ(ran.back(), 9);
}

TEST(OrderedWorker, StoppedWithJobsQueuedItFinishesTheRunningOneAndStartsNoOther) {
    std::atomic<int> started = 0;
    std::atomic<bool> release = false;
    std::array<OrderedWorker::Job, 3> jobs;
    std::thread releaser;
    {
        OrderedWorker worker;
        for (auto& job : jobs) {
            worker.queue(job, [&] {
                ++started;
                while (!release) std::this_thread::yield();
            });
        }
        while (started == 0) std::this_thread::yield();
        // The import gave up (an error, say) while the first job runs: leaving the scope stops
        // the worker, which must not start the other two once the first one ends.
        releaser = std::thread([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            release = true;
        });
    }
    releaser.join();
    EXPECT_EQ(started, 1);
}

}  // namespace
}  // namespace zelvanor
