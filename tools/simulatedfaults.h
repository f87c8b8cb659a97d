#pragma once

#include "membersimulator.h"

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

namespace zonara::simulator {

// Serves the member pages of the fault modes that answer for the page itself (all but None,
// Redirect and SessionCookie, which the server weaves into its normal answers), and wakes the
// ones that wait when the server stops. Thread-safe; outlives every answer it fills in.
class FaultPages final
{
public:
    // Fills `response` for `fault`; `listing` gives the listing page the request asked for.
    // Called without the simulator's lock: Hang blocks here until stop().
    void serve(Fault fault, const std::function<std::string()> &listing,
               httplib::Response &response);
    // Ends every wait and every endless answer.
    void stop();

private:
    void waitForStop(std::chrono::milliseconds timeout);

    std::mutex m_mutex;
    std::condition_variable m_stopped;
    std::atomic<bool> m_stopping{false};
    std::atomic<int> m_redirects{0};
};

} // namespace zonara::simulator
