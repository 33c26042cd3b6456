// The download loop against the curl command line, both fetching the same files one after another
// from a loopback server (1,000 of 10 KB, 100 of 1 MB, one of 1 GiB), and the same transfers into a
// sink that keeps nothing, so that the cost of the files can be told from that of the transfers;
// prints each loop's time over curl's at the end, and the process's peak memory while the loop
// fetches the 1 GiB body.
#include "platform/CurlFetcher.h"
#include "platform/ImageDownload.h"
#include "support/LoopbackServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
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

struct FileSet
{
    int count;
    qint64 size;
};
// Benchmark arguments: the index of a set.
constexpr FileSet fileSets[] = {{1000, 10 * 1024}, {100, 1 << 20}, {1, qint64(1) << 30}};

struct Fixture
{
    quorel::tests::LoopbackServer server;
    QStringList urls[std::size(fileSets)];
    QStringList names[std::size(fileSets)];

    Fixture()
    {
        const FileSet &small = fileSets[0];
        server.serveUnder(u"/img/"_s, [&small](const QString &) { return QByteArray(small.size, 'x'); });
        for (size_t set = 0; set < std::size(fileSets); ++set)
            for (int n = 1; n <= fileSets[set].count; ++n) {
                names[set].append(u"img%1-%2.jpg"_s.arg(set).arg(n, 4, 10, QChar(u'0')));
                // The larger bodies are made as they are sent, so that the server holds none whole.
                if (set > 0)
                    server.serveGenerated(u"/big/"_s + names[set].last(), fileSets[set].size);
            }
        server.start();
        for (size_t set = 0; set < std::size(fileSets); ++set)
            for (const QString &name : std::as_const(names[set]))
                urls[set].append(server.url((set > 0 ? u"/big/"_s : u"/img/"_s) + name));
    }
};

Fixture &fixture()
{
    static Fixture instance;
    return instance;
}

size_t setOf(const benchmark::State &state)
{
    return size_t(state.range(0));
}

void countItems(benchmark::State &state)
{
    const FileSet &set = fileSets[setOf(state)];
    state.SetItemsProcessed(state.iterations() * set.count);
    state.SetBytesProcessed(state.iterations() * set.count * set.size);
}

// The process's peak resident memory from here on, in bytes, read by peakSinceReset().
void resetPeak()
{
    QFile clear(u"/proc/self/clear_refs"_s);
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

double peakSinceReset()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() * 1024;
    return 0;
}

// The files of a large set are removed between runs, untimed, so that the disk holds one at a time.
void removeLargeFiles(benchmark::State &state, const QString &folder)
{
    if (fileSets[setOf(state)].size < (1 << 20))
        return;
    state.PauseTiming();
    QDir(folder).removeRecursively();
    state.ResumeTiming();
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
    const quorel::core::PageImages images{f.urls[setOf(state)], f.names[setOf(state)]};
    double peak = 0;
    for (auto _ : state) {
        const QString folder = newFolder();
        quorel::platform::CurlFetcher fetcher;
        resetPeak();
        const auto done = quorel::platform::downloadImages(images, folder, fetcher);
        if (!done || !done->complete()) {
            state.SkipWithError(done ? "not every image was saved" : describe(done.error()).c_str());
            return;
        }
        peak = std::max(peak, peakSinceReset());
        removeLargeFiles(state, folder);
    }
    state.counters["peak_MB"] = peak / (1 << 20);
    countItems(state);
}

// The transfers alone: the same fetcher and order, every body dropped as it comes.
void TransfersAlone(benchmark::State &state)
{
    const Fixture &f = fixture();
    const quorel::platform::BodySink discard = [](QByteArrayView) { return quorel::core::Result<>(); };
    for (auto _ : state) {
        quorel::platform::CurlFetcher fetcher;
        for (const QString &url : f.urls[setOf(state)])
            if (const auto done = fetcher.fetch(url, discard); !done) {
                state.SkipWithError(describe(done.error()).c_str());
                return;
            }
    }
    countItems(state);
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
        const QStringList &urls = f.urls[setOf(state)];
        const QStringList &names = f.names[setOf(state)];
        for (qsizetype i = 0; i < urls.size(); ++i)
            config.write(u"url = \"%1\"\noutput = \"%2\"\n"_s.arg(urls.at(i), folder.filePath(names.at(i))).toUtf8());
        config.close();
        const int exitCode = QProcess::execute(u"curl"_s, {u"--silent"_s, u"--config"_s, config.fileName()});
        if (exitCode != 0) {
            state.SkipWithError("curl failed");
            return;
        }
        removeLargeFiles(state, folder.path());
    }
    countItems(state);
}

BENCHMARK(DownloadLoop)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(TransfersAlone)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(CurlCommandLine)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

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
                seconds[run.run_name.function_name + "/" + run.run_name.args] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
};
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // Making files on ext4 slows down for minutes after many were deleted, so the state of the
    // disk drifts through the run. Repetitions in a shuffled order let the program and curl meet
    // the same drift, and the ratios are taken between medians; the command line can override.
    std::vector<char *> args(argv, argv + argc);
    char repetitions[] = "--benchmark_repetitions=5";
    char interleaving[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, {repetitions, interleaving});
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const auto &[name, seconds] : reporter.seconds) {
        const std::string set = name.substr(name.find('/'));
        const auto curl = reporter.seconds.find("CurlCommandLine" + set);
        if (curl != reporter.seconds.end() && name != curl->first)
            std::printf("%s / curl command line: %.3f\n", name.c_str(), seconds / curl->second);
    }
    benchmark::Shutdown();
    return 0;
}
