// Throughput of the two steps every listing page goes through: the HTML text form, and the
// host-list parser on that text.

#include "hostlistparser.h"
#include "htmlserializer.h"
#include "listingpages.h"

#include <benchmark/benchmark.h>

#include <QString>

namespace {

using namespace zonara;

void serializeListing(benchmark::State &state)
{
    const std::string page = providerListing(int(state.range(0)));
    for (auto _ : state) {
        std::optional<std::string> text = serializeHtml(page);
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(page.size()));
}

void parseListing(benchmark::State &state)
{
    const std::string page = providerListing(int(state.range(0)));
    const QString text = QString::fromStdString(serializeHtml(page).value());
    auto table = std::make_unique<HostRecordTable>();
    qsizetype listed = 0;
    for (auto _ : state) {
        HostListParserState parserState;
        listed = parseListingPage(text, HostKind::Dynamic, parserState, *table).size();
        benchmark::DoNotOptimize(listed);
    }
    if (listed != state.range(0))
        state.SkipWithError("the parser missed hosts");
    // Bytes of the page as it arrived (UTF-8), as for the text form, not of its UTF-16 copy.
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(page.size()));
}

} // namespace

BENCHMARK(serializeListing)->Arg(100)->Arg(1'000)->Arg(10'000)->Unit(benchmark::kMillisecond);
BENCHMARK(parseListing)->Arg(100)->Arg(1'000)->Arg(10'000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
