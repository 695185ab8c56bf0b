#pragma once

// A picture that follows the user's latest wish, made on a worker thread when it is long.
// No widgets: the results come back through a QObject's event queue.

#include "core/progress.h"

#include <QMetaObject>
#include <QObject>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

// Makes a Result from each Request, where only the latest request matters: a short one is made
// at once, a long one on a worker thread, and a newer request stops the one under way, so the
// latest wins and the interface never waits. The results reach deliver on the context's
// thread, and only the one for the latest request does.
template <typename Request, typename Result> class LatestWins {
public:
    enum class Length { Short, Long };
    // Makes the result, or none when the progress said stop.
    using Make = std::function<std::optional<Result>(const Request&, ProgressReport*)>;
    using Deliver = std::function<void(const Result&)>;

    LatestWins(QObject& context, Make make, Deliver deliver)
        : context_(context), make_(std::move(make)), deliver_(std::move(deliver)) {}
    LatestWins(const LatestWins&) = delete;
    LatestWins& operator=(const LatestWins&) = delete;

    ~LatestWins() {
        {
            const std::lock_guard lock(mutex_);
            ending_ = true;
            ++latest_; // stops the result under way
        }
        wake_.notify_one();
        if (worker_.joinable())
            worker_.join();
    }

    void ask(Request request, Length length) {
        if (length == Length::Short) {
            ++latest_; // stops the result under way
            awaited_ = 0;
            if (std::optional<Result> made = make_(request, nullptr))
                deliver_(*made);
            return;
        }
        {
            // Numbered and handed over together, so the worker never pairs one with the other's.
            const std::lock_guard lock(mutex_);
            awaited_ = ++latest_;
            next_ = Numbered{awaited_, std::move(request)};
        }
        if (!worker_.joinable())
            worker_ = std::thread(&LatestWins::work, this);
        wake_.notify_one();
    }

    // Stops the result under way, if any, and delivers nothing until the next request.
    void forget() {
        {
            const std::lock_guard lock(mutex_);
            next_.reset(); // not taken up yet: never started
            ++latest_;
        }
        awaited_ = 0;
    }

    // Whether a result is still being made on the worker.
    bool waiting() const { return awaited_ != 0; }

private:
    struct Numbered {
        std::uint64_t generation = 0;
        Request request;
    };

    // Goes on while its request is the latest one.
    class StopWhenStale : public ProgressReport {
    public:
        StopWhenStale(const std::atomic<std::uint64_t>& latest, std::uint64_t mine)
            : latest_(latest), mine_(mine) {}
        bool update(std::int64_t, std::int64_t) override { return latest_ == mine_; }
        Caller caller() const override { return Caller::AnyThread; }

    private:
        const std::atomic<std::uint64_t>& latest_;
        std::uint64_t mine_ = 0;
    };

    void work() {
        for (;;) {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return ending_ || next_; });
            if (ending_)
                return;
            const Numbered next = std::move(*next_);
            next_.reset();
            lock.unlock();
            StopWhenStale stale(latest_, next.generation);
            std::optional<Result> made = make_(next.request, &stale);
            if (made && latest_ == next.generation)
                QMetaObject::invokeMethod(
                    &context_,
                    [this, generation = next.generation, result = std::move(*made)] {
                        take(generation, result);
                    },
                    Qt::QueuedConnection);
        }
    }

    void take(std::uint64_t generation, const Result& result) {
        if (generation != awaited_)
            return; // a newer result was asked for meanwhile
        awaited_ = 0;
        deliver_(result);
    }

    QObject& context_;
    Make make_;
    Deliver deliver_;
    std::uint64_t awaited_ = 0; // the worker's result waited for, 0 for none
    // Shared with the worker: the latest request and its number; a result whose number is no
    // longer the latest stops.
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<Numbered> next_;
    std::atomic<std::uint64_t> latest_ = 0;
    bool ending_ = false;
    std::thread worker_;
};
