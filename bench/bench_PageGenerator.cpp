#include "core/PageGenerator.h"

#include <benchmark/benchmark.h>

using namespace quorel::core;

namespace
{
PageRequest largestPage()
{
    PageRequest request;
    request.baseAddress = QStringLiteral("http://www.example.org/photos/2026/");
    request.head = QStringLiteral("img");
    request.tail = QStringLiteral(".jpg");
    request.digitCountText = QStringLiteral("5");
    request.startText = QStringLiteral("0");
    request.endText = QStringLiteral("32766");
    request.sizeText = QStringLiteral("80");
    request.columnsText = QStringLiteral("5");
    return request;
}

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
    const PageRequest request = largestPage();
    Result<PageResult> result = fail(Reason::PageTooLarge);
    for (auto _ : state) {
        result = generatePage(request);
        benchmark::DoNotOptimize(result);
    }
    checkImages(state, result);
}

void thumbnailPageWithCheckList(benchmark::State &state)
{
    PageRequest request = largestPage();
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
