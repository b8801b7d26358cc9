#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

struct pg_conn;

namespace Ado {

// One PostgreSQL connection as the server watch sees it. Only the connection's own thread
// arms it, through a `ServerWait`.
class WatchedConnection
{
public:
    explicit WatchedConnection(pg_conn *connection)
        : m_connection(connection)
    { }
    // Once a wait outlasted the limit, the link is cut for good.
    bool timedOut() const { return m_timedOut.load(); }

private:
    friend class ServerWatch;
    friend class ServerWait;
    pg_conn *m_connection;                // under the watch's lock
    std::atomic<long long> m_deadline{0}; // steady-clock nanoseconds; 0 while not waiting
    std::atomic_bool m_timedOut{false};
};

// Bounds every wait of a PostgreSQL connection on its server: a statement, a commit, the next
// row of a result. A server that stops answering (a stopped process, a link cut without a
// word) leaves the client library waiting in poll() for as long as TCP keeps the link, since
// the server's kernel still acknowledges what is sent. When a wait outlasts the limit, a watch
// thread shuts the connection's socket down: the wait ends at once with the connection broken,
// and the caller tells the user the server did not answer.
class ServerWatch
{
public:
    static ServerWatch &instance();
    ~ServerWatch();
    ServerWatch(const ServerWatch &) = delete;
    ServerWatch &operator=(const ServerWatch &) = delete;

    std::shared_ptr<WatchedConnection> watch(pg_conn *connection);
    // Before the connection closes: once this returns, the watch no longer touches it.
    void unwatch(std::shared_ptr<WatchedConnection> &watched);

    static void setLimit(std::chrono::milliseconds limit);
    static std::chrono::milliseconds limit();

private:
    ServerWatch() = default;
    void run();
    void endOverdueWaits();

    std::mutex m_mutex;
    std::condition_variable m_stop;
    bool m_stopping = false;
    std::vector<std::weak_ptr<WatchedConnection>> m_watched;
    std::thread m_thread;
};

// A wait on the server in progress, for as long as it lives; nothing for a connection that
// is not watched (SQLite's).
class ServerWait
{
public:
    explicit ServerWait(const std::shared_ptr<WatchedConnection> &watched);
    ~ServerWait();
    ServerWait(const ServerWait &) = delete;
    ServerWait &operator=(const ServerWait &) = delete;

private:
    WatchedConnection *m_watched;
};

} // namespace Ado
