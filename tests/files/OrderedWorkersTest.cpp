// RunInOrder with synthetic jobs: results come back in order whatever order
// the workers finish in, the costs of the jobs in progress stay within the
// budget, and a failure surfaces at its own job and stops the run.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "OrderedWorkers.h"

namespace quorvel::files {
namespace {

struct WorkersCase {
    const char* Name;
    std::size_t Count;
    unsigned Workers;
    std::size_t Budget;
    std::size_t (*CostOf)(std::size_t AJob);
    std::optional<std::size_t> FailingJob = {};
    std::optional<std::size_t> FailingCost = {};
    std::optional<std::size_t> FailingDelivery = {};
};

void PrintTo(const WorkersCase& ACase, std::ostream* AOut) { *AOut << ACase.Name; }

std::size_t CostOne(std::size_t) { return 1; }
std::size_t CostsUpToBudget(std::size_t AJob) { return AJob * 37 % 101; }  // 0..100, the budget
std::size_t SomeAboveBudget(std::size_t AJob) { return AJob % 7 == 3 ? 500 : AJob % 5; }

// Finishing times spread out so that later jobs often finish first.
void Work(std::size_t AJob) { std::this_thread::sleep_for(std::chrono::microseconds(AJob * 7919 % 13 * 25)); }

// What the jobs and deliveries saw, kept apart from the code under test.
class Observer {
public:
    explicit Observer(const WorkersCase& ACase) : FCase(ACase), FCostAsked(ACase.Count) {}

    std::size_t Cost(std::size_t AJob) {
        ++FCostAsked[AJob];
        if (FCase.FailingCost == AJob) throw std::runtime_error("cost " + std::to_string(AJob));
        return FCase.CostOf(AJob);
    }

    std::unique_ptr<std::size_t> Run(std::size_t AJob) {
        {
            std::lock_guard lock(FMutex);
            FBytesInProgress += FCase.CostOf(AJob);
            ++FJobsInProgress;
            if (FJobsInProgress > 1 && FBytesInProgress > FCase.Budget && FBudgetBreach.empty())
                FBudgetBreach = "job " + std::to_string(AJob) + " started with " + std::to_string(FBytesInProgress) +
                                " in progress";
        }
        Work(AJob);
        if (FCase.FailingJob == AJob) throw std::runtime_error("job " + std::to_string(AJob));
        return std::make_unique<std::size_t>(AJob * 3);
    }

    void Deliver(std::size_t AJob, std::unique_ptr<std::size_t> AResult) {
        {
            std::lock_guard lock(FMutex);
            FBytesInProgress -= FCase.CostOf(AJob);
            --FJobsInProgress;
            Delivered.push_back(AJob);
            if (*AResult != AJob * 3) WrongResults.push_back(AJob);
        }
        if (FCase.FailingDelivery == AJob) throw std::runtime_error("delivery " + std::to_string(AJob));
    }

    std::vector<std::size_t> Delivered;
    std::vector<std::size_t> WrongResults;

    std::string BudgetBreach() const { return FBudgetBreach; }
    bool AnyCostAskedTwice() const {
        for (const auto& asked : FCostAsked)
            if (asked > 1) return true;
        return false;
    }

private:
    const WorkersCase& FCase;
    std::vector<std::atomic<int>> FCostAsked;
    std::mutex FMutex;
    std::size_t FBytesInProgress = 0;
    std::size_t FJobsInProgress = 0;
    std::string FBudgetBreach;
};

class OrderedWorkersTest : public ::testing::TestWithParam<WorkersCase> {};

TEST_P(OrderedWorkersTest, DeliversInOrderWithinBudgetAndStopsAtTheFirstError) {
    const WorkersCase& c = GetParam();
    Observer observer(c);
    std::string error;
    try {
        RunInOrder<std::unique_ptr<std::size_t>>(
            c.Count, c.Workers, c.Budget, [&](std::size_t AJob) { return observer.Run(AJob); },
            [&](std::size_t AJob) { return observer.Cost(AJob); },
            [&](std::size_t AJob, std::unique_ptr<std::size_t> AResult) {
                observer.Deliver(AJob, std::move(AResult));
            });
    } catch (const std::runtime_error& AError) {
        error = AError.what();
    }

    // Deliveries run up to the failure: before a failed job or cost, up to and
    // including a failed delivery.
    std::size_t delivered = c.Count;
    std::string expectedError;
    if (c.FailingJob) {
        delivered = *c.FailingJob;
        expectedError = "job " + std::to_string(delivered);
    } else if (c.FailingCost) {
        delivered = *c.FailingCost;
        expectedError = "cost " + std::to_string(delivered);
    } else if (c.FailingDelivery) {
        delivered = *c.FailingDelivery + 1;
        expectedError = "delivery " + std::to_string(*c.FailingDelivery);
    }
    std::vector<std::size_t> expectedOrder(delivered);
    for (std::size_t i = 0; i < delivered; ++i) expectedOrder[i] = i;

    EXPECT_EQ(error, expectedError);
    EXPECT_EQ(observer.Delivered, expectedOrder);
    EXPECT_TRUE(observer.WrongResults.empty());
    EXPECT_EQ(observer.BudgetBreach(), "");
    EXPECT_FALSE(observer.AnyCostAskedTwice());
}

const WorkersCase kCases[] = {
    {"OneWorkerRunsInPlace", 40, 1, 1, CostOne},
    {"MoreJobsThanTheWindow", 1000, 3, 1000, CostOne},
    {"CostsUpToTheBudget", 400, 4, 100, CostsUpToBudget},
    {"JobsAboveTheBudgetRunAlone", 150, 3, 10, SomeAboveBudget},
    {"NoBudgetRunsOneAtATime", 60, 2, 0, CostOne},
    {"MoreWorkersThanJobs", 3, 8, 100, CostOne},
    {"FailingJobSurfacesInItsPlace", 300, 3, 50, CostsUpToBudget, 170},
    {"FailingFirstJob", 300, 3, 50, CostsUpToBudget, 0},
    {"FailingCostSurfacesInItsPlace", 300, 3, 50, CostsUpToBudget, {}, 77},
    {"FailingDeliveryStopsTheRun", 300, 3, 50, CostsUpToBudget, {}, {}, 120},
    {"FailingLastDelivery", 100, 2, 50, CostOne, {}, {}, 99},
    {"FailingJobWithOneWorker", 20, 1, 50, CostOne, 5},
    {"FailingDeliveryWithOneWorker", 20, 1, 50, CostOne, {}, {}, 5},
};
INSTANTIATE_TEST_SUITE_P(Runs, OrderedWorkersTest, ::testing::ValuesIn(kCases),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

}  // namespace
}  // namespace quorvel::files
