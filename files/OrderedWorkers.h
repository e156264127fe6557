#pragma once
// Runs jobs 0..n-1 on worker threads and hands their results back on the
// calling thread in job order. Memory stays bounded however long the list is:
// a job's cost counts from its start until its result is handed back, and the
// jobs counted together cost at most ABudget (any one job may start alone
// whatever it costs). Workers run ahead of the hand-back by up to a window of
// jobs, so that many small jobs do not wait on each other.

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
    const std::size_t window = 32 * static_cast<std::size_t>(AWorkers);
    std::mutex mutex;
    std::condition_variable mayStart, resultReady;
    std::vector<std::optional<Result>> ring(window);
    std::vector<std::size_t> costs(window);
    std::size_t nextJob = 0, nextDelivery = 0;
    std::optional<std::size_t> nextCost;  // of nextJob, once asked
    std::size_t pendingCost = 0;           // of the jobs started and not yet handed back
    bool stopping = false;

    // The caller is woken for a run of results at a time, not for each one:
    // when kBatch results lie ready in order, and whenever a worker is about
    // to wait or leave, so that it never waits on results nobody announces.
    constexpr std::size_t kBatch = 16;
    const auto readyInOrder = [&] {
        std::size_t count = 0;
        while (count < kBatch && nextDelivery + count < nextJob && ring[(nextDelivery + count) % window]) ++count;
        return count;
    };
    const auto mayStartNext = [&] {
        if (stopping || nextJob >= ACount) return true;  // to leave
        bool may = nextJob < nextDelivery + window;
        if (may && !nextCost) nextCost = ACost(nextJob);
        may = may && (nextJob == nextDelivery || pendingCost + *nextCost <= ABudget);
        if (!may) resultReady.notify_one();
        return may;
    };
    const auto work = [&] {
        for (;;) {
            std::unique_lock lock(mutex);
            mayStart.wait(lock, mayStartNext);
            if (stopping || nextJob >= ACount) {
                resultReady.notify_one();
                return;
            }
            const std::size_t job = nextJob++;
            costs[job % window] = *nextCost;
            pendingCost += *nextCost;
            nextCost.reset();
            lock.unlock();
            Result result = AJob(job);
            lock.lock();
            ring[job % window].emplace(std::move(result));
            if (job + 1 == ACount || readyInOrder() >= kBatch) resultReady.notify_one();
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
            pendingCost -= costs[i % window];
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
