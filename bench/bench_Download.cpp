// The download loop against the curl command line, both fetching the same 1,000 files of 10 KB
// one after another from a loopback server, and the same transfers into a sink that keeps nothing,
// so that the cost of the files can be told from that of the transfers; prints each loop's time
// over curl's at the end.
#include "platform/CurlFetcher.h"
#include "platform/ImageDownload.h"
#include "support/LoopbackServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace
{
// Enough to tell one failure from another; the sentences belong to the window.
std::string describe(const quorel::core::Failure &failure)
{
    return "failure " + std::to_string(static_cast<int>(failure.reason)) + " at " + failure.subject.toStdString();
}

constexpr int fileCount = 1000;
constexpr qsizetype fileSize = 10 * 1024;

struct Fixture
{
    quorel::tests::LoopbackServer server;
    QStringList urls;
    QStringList names;

    Fixture()
    {
        server.serveUnder(u"/img/"_s, [](const QString &) { return QByteArray(fileSize, 'x'); });
        server.start();
        for (int n = 1; n <= fileCount; ++n) {
            names.append(u"img%1.jpg"_s.arg(n, 4, 10, QChar(u'0')));
            urls.append(server.url(u"/img/"_s + names.last()));
        }
    }
};

Fixture &fixture()
{
    static Fixture instance;
    return instance;
}

// A new folder for one run, removed only when the program ends: on ext4 a file made soon after
// thousands were deleted costs several times more, which would charge each benchmark for the
// clean-up of the one before it rather than for its own work.
QString newFolder()
{
    static std::vector<std::unique_ptr<QTemporaryDir>> folders;
    folders.push_back(std::make_unique<QTemporaryDir>());
    return folders.back()->path();
}

void DownloadLoop(benchmark::State &state)
{
    const Fixture &f = fixture();
    const quorel::core::PageImages images{f.urls, f.names};
    for (auto _ : state) {
        const QString folder = newFolder();
        quorel::platform::CurlFetcher fetcher;
        const auto done = quorel::platform::downloadImages(images, folder, fetcher);
        if (!done || !done->complete()) {
            state.SkipWithError(done ? "not every image was saved" : describe(done.error()).c_str());
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * fileCount);
}

// The transfers alone: the same fetcher and order, every body dropped as it comes.
void TransfersAlone(benchmark::State &state)
{
    const Fixture &f = fixture();
    const quorel::platform::BodySink discard = [](QByteArrayView) { return quorel::core::Result<>(); };
    for (auto _ : state) {
        quorel::platform::CurlFetcher fetcher;
        for (const QString &url : f.urls)
            if (const auto done = fetcher.fetch(url, discard); !done) {
                state.SkipWithError(describe(done.error()).c_str());
                return;
            }
    }
    state.SetItemsProcessed(state.iterations() * fileCount);
}

void CurlCommandLine(benchmark::State &state)
{
    const Fixture &f = fixture();
    for (auto _ : state) {
        const QDir folder(newFolder());
        QFile config(folder.filePath(u"urls.cfg"_s));
        if (!config.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot write the curl config");
            return;
        }
        for (int i = 0; i < fileCount; ++i)
            config.write(
                u"url = \"%1\"\noutput = \"%2\"\n"_s.arg(f.urls.at(i), folder.filePath(f.names.at(i))).toUtf8());
        config.close();
        const int exitCode = QProcess::execute(u"curl"_s, {u"--silent"_s, u"--config"_s, config.fileName()});
        if (exitCode != 0) {
            state.SkipWithError("curl failed");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * fileCount);
}

BENCHMARK(DownloadLoop)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(TransfersAlone)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(CurlCommandLine)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

// Keeps each benchmark's time per iteration so the ratios can be printed after the runs.
class RatioReporter final : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, double> seconds;

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs)
            // With repetitions the median comes after the single runs and wins: a stray slow run on
            // a shared machine moves the mean but not the median.
            if (!run.error_occurred && (run.run_type == Run::RT_Iteration || run.aggregate_name == "median"))
                seconds[run.run_name.function_name] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
};
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto curl = reporter.seconds.find("CurlCommandLine");
    if (curl != reporter.seconds.end())
        for (const auto &[name, seconds] : reporter.seconds)
            if (name != curl->first)
                std::printf("%s / curl command line: %.3f\n", name.c_str(), seconds / curl->second);
    benchmark::Shutdown();
    return 0;
}
