#pragma once
// Runs jobs 0..n-1 on worker threads and hands their results back on the
// calling thread in job order. At most two jobs per worker are under way or
// waiting to be handed back at any time, so memory stays bounded however long
// the list is.

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace quorvel::files {

// AJob(i) runs on a worker and must not throw; ADeliver(i, result) runs on
// the caller's thread, in order. With one worker everything runs on the
// caller's thread. If ADeliver throws, the workers stop and the error passes on.
template <class Result, class Job, class Deliver>
void RunInOrder(std::size_t ACount, unsigned AWorkers, Job&& AJob, Deliver&& ADeliver) {
    if (AWorkers <= 1 || ACount <= 1) {
        for (std::size_t i = 0; i < ACount; ++i) ADeliver(i, AJob(i));
        return;
    }
    const std::size_t window = 2 * static_cast<std::size_t>(AWorkers);
    std::mutex mutex;
    std::condition_variable slotFreed, resultReady;
    std::vector<std::optional<Result>> ring(window);
    std::size_t nextJob = 0, nextDelivery = 0;
    bool stopping = false;

    const auto work = [&] {
        for (;;) {
            std::unique_lock lock(mutex);
            slotFreed.wait(lock, [&] { return stopping || nextJob >= ACount || nextJob < nextDelivery + window; });
            if (stopping || nextJob >= ACount) return;
            const std::size_t job = nextJob++;
            lock.unlock();
            Result result = AJob(job);
            lock.lock();
            ring[job % window].emplace(std::move(result));
            resultReady.notify_all();
        }
    };
    std::vector<std::jthread> workers;
    const auto stopWorkers = [&] {
        {
            std::lock_guard lock(mutex);
            stopping = true;
        }
        slotFreed.notify_all();
        workers.clear();  // joins
    };
    for (unsigned i = 0; i < AWorkers && i < ACount; ++i) workers.emplace_back(work);

    try {
        for (std::size_t i = 0; i < ACount; ++i) {
            std::unique_lock lock(mutex);
            resultReady.wait(lock, [&] { return ring[i % window].has_value(); });
            Result result = std::move(*ring[i % window]);
            ring[i % window].reset();
            nextDelivery = i + 1;
            lock.unlock();
            slotFreed.notify_all();
            ADeliver(i, std::move(result));
        }
    } catch (...) {
        stopWorkers();
        throw;
    }
    stopWorkers();
}

}  // namespace quorvel::files
