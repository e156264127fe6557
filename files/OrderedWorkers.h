#pragma once
// Runs jobs 0..n-1 on worker threads and hands their results back on the
// calling thread in job order. Memory stays bounded however long the list is:
// at most two jobs per worker are under way or waiting to be handed back, and
// the jobs under way together cost at most ABudget (any one job may start
// alone whatever it costs).

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace quorvel::files {

// AJob(i) runs on a worker and must not throw; ACost(i) is asked on a worker
// before job i starts; ADeliver(i, result) runs on the caller's thread, in
// order. With one worker everything runs on the caller's thread. If ADeliver
// throws, the workers stop and the error passes on.
template <class Result, class Job, class Cost, class Deliver>
void RunInOrder(std::size_t ACount, unsigned AWorkers, std::size_t ABudget, Job&& AJob, Cost&& ACost,
                Deliver&& ADeliver) {
    if (AWorkers <= 1 || ACount <= 1) {
        for (std::size_t i = 0; i < ACount; ++i) ADeliver(i, AJob(i));
        return;
    }
    const std::size_t window = 2 * static_cast<std::size_t>(AWorkers);
    std::mutex mutex;
    std::condition_variable mayStart, resultReady;
    std::vector<std::optional<Result>> ring(window);
    std::size_t nextJob = 0, nextDelivery = 0;
    std::optional<std::size_t> nextCost;  // of nextJob, once asked
    std::size_t running = 0, runningCost = 0;
    bool stopping = false;

    const auto mayStartNext = [&] {
        if (stopping || nextJob >= ACount) return true;  // to leave
        if (nextJob >= nextDelivery + window) return false;
        if (!nextCost) nextCost = ACost(nextJob);
        return running == 0 || runningCost + *nextCost <= ABudget;
    };
    const auto work = [&] {
        for (;;) {
            std::unique_lock lock(mutex);
            mayStart.wait(lock, mayStartNext);
            if (stopping || nextJob >= ACount) return;
            const std::size_t job = nextJob++, cost = *nextCost;
            nextCost.reset();
            ++running, runningCost += cost;
            lock.unlock();
            Result result = AJob(job);
            lock.lock();
            --running, runningCost -= cost;
            ring[job % window].emplace(std::move(result));
            resultReady.notify_all();
            mayStart.notify_all();
        }
    };
    std::vector<std::jthread> workers;
    const auto stopWorkers = [&] {
        {
            std::lock_guard lock(mutex);
            stopping = true;
        }
        mayStart.notify_all();
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
            mayStart.notify_all();
            ADeliver(i, std::move(result));
        }
    } catch (...) {
        stopWorkers();
        throw;
    }
    stopWorkers();
}

}  // namespace quorvel::files
