// ReportSender: sends game-play reports from a thread of its own, so the game never waits on the network.
#pragma once

#include <string>

#include "lang/Ref.h"

namespace lang {
class Thread;
}

class ReportQueue;

// One sending thread, started with the first report, works through a small queue: each request is an
// HTTP GET through net::URLConnection whose answer (at most kMaxAnswerLines lines) is read and thrown
// away. Every failure (bad address, no connection, status other than 200, read error) is silent.
//
// send() takes only the queue's lock, never the network's time, so the game may call it from its frame
// step under the canvas lock. shutdown() waits a bounded time and then abandons a request still in
// flight: the thread and the queue hold their own references and release them when the request ends,
// so nothing the thread uses is freed under it and nothing is leaked.
//
// The sender itself is used from one thread at a time (the canvas's threads under the canvas lock).
class ReportSender {
public:
    // Reports waiting to be sent; a report sent while the queue is full pushes out the oldest waiting.
    static constexpr int kQueueLimit = 4;
    static constexpr int kMaxAnswerLines = 10;
    // How long shutdown waits by default for the report in flight and those still queued.
    static constexpr int kShutdownWaitMs = 2000;

    ReportSender();
    // Shuts down with the default wait unless already shut down.
    ~ReportSender();
    ReportSender(const ReportSender&) = delete;
    ReportSender& operator=(const ReportSender&) = delete;

    // Queues a request text (buildReportRequest's); an empty text and anything after shutdown are
    // ignored.
    void send(const std::string& request);
    // Takes no more reports and gives the thread at most waitMs to finish the queue. True when it
    // did; false when it was abandoned with work left (what was still queued is dropped).
    bool shutdown(int waitMs = kShutdownWaitMs);

    // Counts since construction: requests answered 200, requests that failed, and reports dropped
    // (pushed out of a full queue or abandoned at shutdown).
    int delivered() const;
    int failed() const;
    int dropped() const;

    // Sending threads of every sender in the process still at work, abandoned ones included.
    static int activeThreads();

private:
    lang::Ref<ReportQueue> queue_;
    lang::Ref<lang::Thread> thread_;
    bool shutDown_ = false;
};
