#include "simulatedfaults.h"

#include "simulatedpages.h"

#include <zlib.h>

#include <memory>

namespace zonara::simulator {

namespace {

using namespace std::chrono_literals;

// A gzip stream of 64 MiB of zeros: about 65 KB on the wire.
std::string gzipBomb()
{
    z_stream stream{};
    // 15 window bits, plus 16 for a gzip header and trailer.
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY) !=
        Z_OK)
        return {};
    std::string zeros(1024 * 1024, '\0');
    std::string out;
    char buffer[64 * 1024];
    constexpr int Megabytes = 64;
    for (int megabyte = 0; megabyte < Megabytes; ++megabyte) {
        stream.next_in = reinterpret_cast<Bytef *>(zeros.data());
        stream.avail_in = static_cast<uInt>(zeros.size());
        const int flush = megabyte == Megabytes - 1 ? Z_FINISH : Z_NO_FLUSH;
        do {
            stream.next_out = reinterpret_cast<Bytef *>(buffer);
            stream.avail_out = sizeof buffer;
            deflate(&stream, flush);
            out.append(buffer, sizeof buffer - stream.avail_out);
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    return out;
}

// The start of a gzip stream, and an empty stored deflate block: bytes that decode to nothing.
constexpr char GzipHeader[] = {'\x1f', '\x8b', '\x08', 0, 0, 0, 0, 0, 0, '\xff'};
constexpr char EmptyStoredBlock[] = {0, 0, 0, '\xff', '\xff'};

} // namespace

void FaultPages::waitForStop(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    m_stopped.wait_for(lock, timeout, [this] { return m_stopping.load(); });
}

void FaultPages::stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_stopped.notify_all();
}

void FaultPages::serve(Fault fault, const std::function<std::string()> &listing,
                       httplib::Response &response)
{
    switch (fault) {
    case Fault::None:
    case Fault::Redirect:      // served before the credentials are looked at
    case Fault::SessionCookie: // decides who is authenticated
        return;
    case Fault::Hang:
        waitForStop(10min);
        response.status = 503;
        return;
    case Fault::CloseMidAnswer:
        response.set_content_provider(
            100000, "text/html", [](size_t offset, size_t, httplib::DataSink &sink) {
                if (offset > 0)
                    return false; // drops the connection with most of the page unsent
                const std::string part = "<html><body><table><tr><td>half a page";
                sink.write(part.data(), part.size());
                return true;
            });
        return;
    case Fault::EmptyServerError:
        response.status = 500;
        return;
    case Fault::Oversized:
        response.set_content_provider(17u * 1024 * 1024, "text/html",
                                      [](size_t offset, size_t length, httplib::DataSink &sink) {
                                          const std::string chunk(
                                              std::min<size_t>(length, 64 * 1024), 'x');
                                          (void)offset;
                                          sink.write(chunk.data(), chunk.size());
                                          return true;
                                      });
        return;
    case Fault::RedirectLoop:
        response.status = 302;
        response.set_header("Location", "/nic/zonara?redirect=" + std::to_string(++m_redirects));
        return;
    case Fault::Trickle:
        // Bytes keep coming, yet the page never gets a character longer.
        response.set_header("Content-Encoding", "gzip");
        response.set_chunked_content_provider(
            HtmlType, [this](size_t offset, httplib::DataSink &sink) {
                if (offset == 0)
                    sink.write(GzipHeader, sizeof GzipHeader);
                waitForStop(20ms);
                sink.write(EmptyStoredBlock, sizeof EmptyStoredBlock);
                return !m_stopping;
            });
        return;
    case Fault::HeadersThenNothing:
        response.set_content_provider(100000, HtmlType,
                                      [this](size_t, size_t, httplib::DataSink &) {
                                          waitForStop(10min);
                                          return false;
                                      });
        return;
    case Fault::SlowButSteady: {
        const auto page = std::make_shared<std::string>(listing());
        response.set_content_provider(
            page->size(), HtmlType,
            [this, page](size_t offset, size_t length, httplib::DataSink &sink) {
                if (offset > 0)
                    waitForStop(300ms);
                sink.write(page->data() + offset, std::min<size_t>(length, 256));
                return !m_stopping;
            });
        return;
    }
    case Fault::GzipBomb: {
        static const std::string bomb = gzipBomb();
        response.set_header("Content-Encoding", "gzip");
        response.set_content(bomb, HtmlType);
        return;
    }
    case Fault::DeepNesting: {
        std::string page;
        page.reserve(6'000'000);
        for (int i = 0; i < 1'000'000; ++i)
            page += "<div>";
        response.set_content(page, HtmlType);
        return;
    }
    case Fault::HugePage: {
        std::string page = "<html><body><table>\n";
        const std::string row = "  <tr><td><input type=radio name=other value=1></td>"
                                "<td>not a host</td></tr>\n";
        while (page.size() + row.size() < 15u * 1024 * 1024)
            page += row;
        response.set_content(page, HtmlType);
        return;
    }
    }
}

} // namespace zonara::simulator
