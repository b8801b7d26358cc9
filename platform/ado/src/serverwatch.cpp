#include "serverwatch.h"

#include <libpq-fe.h>

#include <sys/socket.h>

namespace Ado {
namespace {

using Clock = std::chrono::steady_clock;

// How often the watch looks at the waits in progress: a wait ends at most this much after
// its limit. Cheap enough to go on while nothing waits.
constexpr std::chrono::milliseconds lookEvery{200};

std::atomic<long long> limitInMilliseconds{10'000};

long long nowInNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

} // namespace

ServerWait::ServerWait(const std::shared_ptr<WatchedConnection> &watched)
    : m_watched(watched.get())
{
    if (m_watched)
        m_watched->m_deadline.store(nowInNanoseconds() + ServerWatch::limit().count() * 1'000'000);
}

ServerWait::~ServerWait()
{
    if (m_watched)
        m_watched->m_deadline.store(0);
}

ServerWatch &ServerWatch::instance()
{
    static ServerWatch watch;
    return watch;
}

ServerWatch::~ServerWatch()
{
    {
        const std::lock_guard locker(m_mutex);
        m_stopping = true;
    }
    m_stop.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

std::shared_ptr<WatchedConnection> ServerWatch::watch(pg_conn *connection)
{
    auto watched = std::make_shared<WatchedConnection>(connection);
    const std::lock_guard locker(m_mutex);
    std::erase_if(m_watched, [](const std::weak_ptr<WatchedConnection> &gone) { return gone.expired(); });
    m_watched.push_back(watched);
    if (!m_thread.joinable())
        m_thread = std::thread([this] { run(); });
    return watched;
}

void ServerWatch::unwatch(std::shared_ptr<WatchedConnection> &watched)
{
    const std::lock_guard locker(m_mutex);
    if (watched)
        watched->m_connection = nullptr; // a result may keep the entry a while longer
    watched.reset();
}

void ServerWatch::setLimit(std::chrono::milliseconds limit)
{
    limitInMilliseconds.store(std::max<long long>(limit.count(), 1));
}

std::chrono::milliseconds ServerWatch::limit()
{
    return std::chrono::milliseconds(limitInMilliseconds.load());
}

void ServerWatch::run()
{
    std::unique_lock locker(m_mutex);
    while (!m_stop.wait_for(locker, lookEvery, [this] { return m_stopping; }))
        endOverdueWaits();
}

// With the lock held, so no connection closes meanwhile (`unwatch` takes it first).
void ServerWatch::endOverdueWaits()
{
    const long long now = nowInNanoseconds();
    for (const std::weak_ptr<WatchedConnection> &entry : m_watched) {
        const std::shared_ptr<WatchedConnection> watched = entry.lock();
        if (!watched || !watched->m_connection)
            continue;
        const long long deadline = watched->m_deadline.load();
        if (deadline == 0 || now < deadline)
            continue;
        watched->m_timedOut.store(true);
        watched->m_deadline.store(0);
        const int socket = PQsocket(watched->m_connection);
        if (socket >= 0)
            ::shutdown(socket, SHUT_RDWR);
    }
}

} // namespace Ado
