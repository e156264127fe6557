#pragma once
// Runs jobs 0..n-1 on worker threads and hands their results back on the
// calling thread in job order. Memory stays bounded however long the list is:
// a job's cost counts from its start until its result has been handed back,
// and the jobs counted together cost at most ABudget (any one job may start
// alone whatever it costs). Workers run ahead of the hand-back by up to a
// window of jobs, so that many small jobs do not wait on each other.

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace quorvel::files {

// ACost(i) is asked once, on a worker and outside the lock, before job i
// starts; AJob(i) runs on a worker; ADeliver(i, result) runs on the caller's
// thread, in order. With one worker everything runs on the caller's thread.
// If ACost(i) or AJob(i) throws, results 0..i-1 are handed back and the error
// passes on in place of result i; if ADeliver throws, its error passes on. In
// both cases nothing more is handed back and the workers stop first.
template <class Result, class Job, class Cost, class Deliver>
void RunInOrder(std::size_t ACount, unsigned AWorkers, std::size_t ABudget, Job&& AJob, Cost&& ACost,
                Deliver&& ADeliver) {
    if (AWorkers <= 1 || ACount <= 1) {
        for (std::size_t i = 0; i < ACount; ++i) ADeliver(i, AJob(i));
        return;
    }
    struct Slot {
        std::optional<Result> Value;
        std::exception_ptr Error;
        std::size_t Bytes = 0;  // the cost counted for the job
        bool Ready() const { return Value.has_value() || Error; }
    };
    const std::size_t window = 32 * static_cast<std::size_t>(AWorkers);
    std::mutex mutex;
    std::condition_variable mayStart, resultReady;
    std::vector<Slot> ring(window);
    std::size_t nextClaim = 0;     // the next job a worker takes to ask its cost
    std::size_t nextStart = 0;     // jobs start in order: claimed jobs wait for their turn
    std::size_t nextDelivery = 0;  // jobs before it have been handed back in full
    std::size_t pendingCost = 0;   // of the jobs started and not yet handed back
    bool stopping = false;

    // The caller is woken for a run of results at a time, not for each one:
    // when kBatch results lie ready in order, and whenever a worker is about
    // to wait or leave, so that it never waits on results nobody announces.
    constexpr std::size_t kBatch = 16;
    const auto readyInOrder = [&] {
        std::size_t count = 0;
        while (count < kBatch && nextDelivery + count < nextStart && ring[(nextDelivery + count) % window].Ready())
            ++count;
        return count;
    };
    // Only the job whose turn it is may start, and only within the window and the budget.
    const auto mayStartJob = [&](std::size_t AJobIndex, std::size_t ACostOfJob) {
        if (stopping) return true;  // to leave
        const bool may = AJobIndex == nextStart && AJobIndex < nextDelivery + window &&
                         (AJobIndex == nextDelivery || pendingCost + ACostOfJob <= ABudget);
        if (!may) resultReady.notify_one();
        return may;
    };
    const auto work = [&] {
        for (;;) {
            std::unique_lock lock(mutex);
            if (stopping || nextClaim >= ACount) {
                resultReady.notify_one();
                return;
            }
            const std::size_t job = nextClaim++;
            lock.unlock();

            Slot slot;
            try {
                slot.Bytes = ACost(job);
            } catch (...) {
                slot.Error = std::current_exception();
            }
            lock.lock();
            mayStart.wait(lock, [&] { return mayStartJob(job, slot.Bytes); });
            if (stopping) {
                resultReady.notify_one();
                return;
            }
            ++nextStart;
            pendingCost += slot.Bytes;
            lock.unlock();
            mayStart.notify_all();

            if (!slot.Error) {
                try {
                    slot.Value.emplace(AJob(job));
                } catch (...) {
                    slot.Error = std::current_exception();
                }
            }
            lock.lock();
            ring[job % window] = std::move(slot);
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
            resultReady.wait(lock, [&] { return ring[i % window].Ready(); });
            Slot slot = std::move(ring[i % window]);
            ring[i % window] = Slot{};
            lock.unlock();
            if (slot.Error) std::rethrow_exception(slot.Error);
            ADeliver(i, std::move(*slot.Value));
            lock.lock();
            pendingCost -= slot.Bytes;
            nextDelivery = i + 1;
            lock.unlock();
            mayStart.notify_all();
        }
    } catch (...) {
        stopWorkers();
        throw;
    }
    stopWorkers();
}

}  // namespace quorvel::files
