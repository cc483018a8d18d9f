// ReportSender: the queue shared with the sending thread, and one report's HTTP exchange.
#include "game/ReportSender.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>

#include "io/BufferedReader.h"
#include "io/InputStreamReader.h"
#include "lang/Exception.h"
#include "lang/Thread.h"
#include "net/URL.h"
#include "net/URLConnection.h"

namespace {

std::atomic<int> runningThreads{0};

}  // namespace

// What the sender and its thread share. The thread holds a reference on it (through lang::Thread's
// target), so an abandoned thread keeps it alive until its last request ends, whatever becomes of the
// sender.
class ReportQueue : public lang::Object, public lang::Runnable {
public:
    const char* getClassName() const override { return "ReportQueue"; }
    bool instanceOf(const char* className) const override {
        return lang::detail::sameName(className, "ReportQueue") || Object::instanceOf(className) ||
               isRunnableName(className);
    }

    // Counted before the thread exists, so that activeThreads never misses a thread.
    static void countThread(int change) { runningThreads.fetch_add(change, std::memory_order_acq_rel); }

    void push(const std::string& request) {
        {
            std::lock_guard<std::mutex> guard(lock_);
            if (closing_)
                return;
            if (waiting_.size() >= static_cast<size_t>(ReportSender::kQueueLimit)) {
                waiting_.pop_front();
                dropped_.fetch_add(1, std::memory_order_relaxed);
            }
            waiting_.push_back(request);
        }
        ready_.notify_one();
    }

    // Lets the thread end once the queue is empty; nothing more is taken.
    void close() {
        {
            std::lock_guard<std::mutex> guard(lock_);
            closing_ = true;
        }
        ready_.notify_one();
    }

    // Drops what is still queued and makes the thread stop at its next check.
    void abandon() {
        {
            std::lock_guard<std::mutex> guard(lock_);
            closing_ = true;
            dropped_.fetch_add(static_cast<int>(waiting_.size()), std::memory_order_relaxed);
            waiting_.clear();
            abandoned_.store(true, std::memory_order_release);
        }
        ready_.notify_one();
    }

    void run() override {
        std::string request;
        while (take(request)) {
            if (perform(request))
                delivered_.fetch_add(1, std::memory_order_relaxed);
            else
                failed_.fetch_add(1, std::memory_order_relaxed);
        }
        countThread(-1);
    }

    int delivered() const { return delivered_.load(std::memory_order_relaxed); }
    int failed() const { return failed_.load(std::memory_order_relaxed); }
    int dropped() const { return dropped_.load(std::memory_order_relaxed); }

private:
    bool abandoned() const { return abandoned_.load(std::memory_order_acquire); }

    // The next request, waiting for one; false when the queue is closed and empty, or abandoned.
    bool take(std::string& request) {
        std::unique_lock<std::mutex> guard(lock_);
        ready_.wait(guard, [this] { return !waiting_.empty() || closing_; });
        if (waiting_.empty() || abandoned())
            return false;
        request = std::move(waiting_.front());
        waiting_.pop_front();
        return true;
    }

    // One GET; the answer's first lines are read and thrown away. True when the status was 200.
    bool perform(const std::string& request) {
        try {
            auto url = lang::make<net::URL>(request.c_str());
            lang::Ref<net::URLConnection> connection = lang::adopt(url->openConnection());
            if (!connection)
                return false;
            // Borrowed: the connection owns its stream.
            io::InputStream* body = connection->getInputStream();
            if (body == nullptr)
                return false;
            auto reader = lang::make<io::InputStreamReader>(body);
            auto lines = lang::make<io::BufferedReader>(reader.get());
            for (int i = 0; i < ReportSender::kMaxAnswerLines && !abandoned(); ++i) {
                if (lines->readLine() == io::BufferedReader::endOfStream())
                    break;
            }
            lines->close();
            return true;
        } catch (lang::Exception* e) {
            e->release();
        } catch (const std::exception&) {
            // Out of memory while building the request: the report is lost, the game goes on.
        }
        return false;
    }

    // Guards waiting_ and closing_; ready_ is its condition. Never held during a request.
    std::mutex lock_;
    std::condition_variable ready_;
    std::deque<std::string> waiting_;
    bool closing_ = false;
    std::atomic<bool> abandoned_{false};
    std::atomic<int> delivered_{0};
    std::atomic<int> failed_{0};
    std::atomic<int> dropped_{0};
};

ReportSender::ReportSender() : queue_(lang::make<ReportQueue>()) {}

ReportSender::~ReportSender() {
    shutdown();
}

void ReportSender::send(const std::string& request) {
    if (shutDown_ || request.empty())
        return;
    queue_->push(request);
    if (thread_)
        return;
    ReportQueue::countThread(1);
    try {
        thread_ = lang::make<lang::Thread>(queue_.get());
        thread_->start();
    } catch (const std::exception&) {
        // No thread to be had: reporting is off for this run, and the game goes on.
        ReportQueue::countThread(-1);
        thread_.reset();
        shutDown_ = true;
        queue_->abandon();
    }
}

bool ReportSender::shutdown(int waitMs) {
    if (shutDown_)
        return !thread_ || !thread_->isRunning();
    shutDown_ = true;
    queue_->close();
    if (!thread_)
        return true;
    thread_->join(waitMs > 0 ? waitMs : 1);
    if (!thread_->isRunning())
        return true;
    // Still in a request: let it run out on its own. The thread's own references keep the queue and
    // the thread object alive until it ends, however soon the sender goes.
    queue_->abandon();
    return false;
}

int ReportSender::delivered() const {
    return queue_->delivered();
}

int ReportSender::failed() const {
    return queue_->failed();
}

int ReportSender::dropped() const {
    return queue_->dropped();
}

int ReportSender::activeThreads() {
    return runningThreads.load(std::memory_order_acquire);
}
