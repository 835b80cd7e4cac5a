// The Simulate dialog's workers on their own: threads that live no longer
// than their worker and never tell one that is gone, a cancelled run that is
// told at once and whose end never passes for the next run's, and exact
// figures told only for the latest settings, or as timed out.
#include "simulate/exact_worker.h"
#include "simulate/run_worker.h"
#include "simulate/simulate_dialog.h"
#include "simulate/worker_threads.h"

#include <QObject>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace {

using namespace vantel::sim;

TEST(WorkerThreads, EveryThreadEndsOnceAndNoneOutlivesOrTellsAWorkerThatIsGone) {
    for (int threads : {1, 3, 8})
        for (bool goesFirst : {false, true}) {
            auto worker = std::make_unique<QObject>();
            auto keeper = std::make_unique<WorkerThreads>(worker.get());
            auto stop = std::make_shared<std::atomic<bool>>(false);
            auto returned = std::make_shared<std::atomic<int>>(0);
            int ended = 0;
            for (int i = 0; i < threads; ++i)
                keeper->start(
                    QStringLiteral("Test"), QThread::InheritPriority,
                    [stop, returned] {
                        while (!*stop)
                            std::this_thread::sleep_for(std::chrono::milliseconds(1));
                        ++*returned;
                    },
                    [&ended] { ++ended; });
            EXPECT_EQ(keeper->count(), size_t(threads));
            *stop = true;
            const std::string at =
                std::to_string(threads) + (goesFirst ? " threads, worker first" : " threads");
            if (goesFirst) {
                // The worker goes while its threads may still run.
                keeper.reset();
                worker.reset();
                EXPECT_EQ(*returned, threads) << at << ": a thread outlived its worker";
                QTest::qWait(30);
                EXPECT_EQ(ended, 0) << at << ": a worker that is gone was told";
            } else {
                EXPECT_TRUE(QTest::qWaitFor([&] { return keeper->count() == 0; }, 5000)) << at;
                EXPECT_EQ(ended, threads) << at;
            }
        }
}

Config runOf(uint64_t sessions, uint64_t spins) {
    Config c;
    c.sessions = sessions;
    c.spins = spins;
    c.seed = 3;
    c.threads = 2;
    return c;
}

TEST(RunWorker, ACancelledRunIsToldAtOnceAndItsEndNeverPassesForTheNextRuns) {
    RunWorker worker(nullptr);
    QSignalSpy finished(&worker, &RunWorker::finished);
    QSignalSpy progress(&worker, &RunWorker::progress);
    worker.start(runOf(2, 5000000));
    ASSERT_TRUE(worker.running());
    worker.start(runOf(5, 5)); // one run at a time
    EXPECT_EQ(worker.config().sessions, 2u);
    worker.cancel();
    ASSERT_EQ(finished.count(), 1);
    EXPECT_FALSE(finished.at(0).at(0).toBool());
    EXPECT_FALSE(worker.running());
    worker.release();
    // The next run starts while the cancelled one winds down, and lasts longer.
    worker.start(runOf(4, 25000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !worker.running(); }, 30000));
    QTest::qWait(50);
    ASSERT_EQ(finished.count(), 2);
    EXPECT_TRUE(finished.at(1).at(0).toBool());
    EXPECT_EQ(worker.config().sessions, 4u);
    EXPECT_EQ(worker.results().size(), 4u);
    EXPECT_TRUE(worker.failure().empty());
    ASSERT_GE(progress.count(), 1);
    const QList<QVariant> last = progress.last();
    EXPECT_EQ(last.at(1).toDouble(), 100000.0);
    EXPECT_LE(last.at(0).toDouble(), 100000.0);
    worker.release();
}

TEST(ExactWorker, OnlyTheLatestSettingsAreToldAndTheDeadlineStopsALongComputation) {
    ExactWorker worker(nullptr);
    QSignalSpy finished(&worker, &ExactWorker::finished);
    Config slow = runOf(1, 1000);
    slow.settings.gameMode = vantel::setting::kSequential;
    worker.compute(slow, ExactLimits{}, 60000);
    Config quick = runOf(1, 100);
    worker.compute(quick, SimulateDialog::exactLimits(), 60000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !worker.running(); }, 20000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ExactWorker::workers() == 0; }, 20000));
    QTest::qWait(30);
    ASSERT_EQ(finished.count(), 1) << "the dropped settings were told";
    EXPECT_EQ(finished.at(0).at(0).value<Config>().spins, 100u);
    const auto quickResult = finished.at(0).at(1).value<ExactResult>();
    EXPECT_TRUE(quickResult.exact) << quickResult.reason;
    EXPECT_FALSE(finished.at(0).at(2).toBool());

    worker.compute(slow, ExactLimits{}, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !worker.running(); }, 20000));
    ASSERT_EQ(finished.count(), 2);
    EXPECT_TRUE(finished.at(1).at(2).toBool()) << "not told as timed out";
    EXPECT_FALSE(finished.at(1).at(1).value<ExactResult>().exact);
}

// A long computation tells how far it has come, pass by pass, spin by spin,
// and nothing once it has ended.
TEST(ExactWorker, ToldProgressClimbsWithinEachPassAndStopsWithTheComputation) {
    ExactWorker worker(nullptr);
    QSignalSpy progress(&worker, &ExactWorker::progress);
    QSignalSpy finished(&worker, &ExactWorker::finished);
    Config slow = runOf(1, 1000);
    slow.settings.gameMode = vantel::setting::kSequential;
    worker.compute(slow, ExactLimits{}, 1200);
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() == 1; }, 20000));
    ASSERT_GE(progress.count(), 3) << "told fewer than three times in 1.2 s";
    int lastPass = 0;
    double lastSpin = -1;
    for (const QList<QVariant>& told : progress) {
        const int pass = told.at(0).toInt();
        const double spin = told.at(1).toDouble();
        EXPECT_GE(pass, 1);
        EXPECT_LE(pass, ExactProgress::kPasses);
        EXPECT_EQ(told.at(2).toDouble(), 1000.0);
        EXPECT_LE(spin, 1000.0);
        EXPECT_GE(pass, lastPass) << "a pass went back";
        if (pass == lastPass) {
            EXPECT_GE(spin, lastSpin) << "spins went back within pass " << pass;
        }
        lastPass = pass;
        lastSpin = spin;
    }
    EXPECT_GT(lastSpin, 0.0);
    const int told = progress.count();
    QTest::qWait(300);
    EXPECT_EQ(progress.count(), told) << "progress told after the end";
}

} // namespace
