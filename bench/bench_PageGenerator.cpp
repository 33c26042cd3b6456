#include "LargestPage.h"
#include "core/PageGenerator.h"

#include <benchmark/benchmark.h>

using namespace quorel::core;

namespace
{
void checkImages(benchmark::State &state, const Result<PageResult> &result)
{
    if (!result || result->images.count() != PageLimits::maxImages) {
        state.SkipWithError("the page does not hold 32767 images");
        return;
    }
    state.counters["chars"] = static_cast<double>(result->text.size());
}

void plainPage(benchmark::State &state)
{
    const PageRequest request = quorel::bench::largestPage();
    Result<PageResult> result = fail(Reason::PageTooLarge);
    for (auto _ : state) {
        result = generatePage(request);
        benchmark::DoNotOptimize(result);
    }
    checkImages(state, result);
}

void thumbnailPageWithCheckList(benchmark::State &state)
{
    PageRequest request = quorel::bench::largestPage();
    request.thumbnails = true;
    request.endText = QStringLiteral("42766");
    QStringList folder;
    for (int k = 0; k < 10000; ++k)
        folder.append(QStringLiteral("img%1.jpg").arg(4 * k, 5, 10, QLatin1Char('0')));
    request.useCheckFolder = true;
    request.listCheckFolder = [&folder] { return folder; };
    Result<PageResult> result = fail(Reason::PageTooLarge);
    for (auto _ : state) {
        result = generatePage(request);
        benchmark::DoNotOptimize(result);
    }
    checkImages(state, result);
}
}

BENCHMARK(plainPage)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(thumbnailPageWithCheckList)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_MAIN();
