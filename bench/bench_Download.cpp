// The download loop against the curl command line, both fetching the same files from a loopback
// server (1,000 of 10 KB, 100 of 1 MB, one of 1 GiB, and 600 of 50 KB from a server that waits
// 40 ms before each answer, as a distant one does), and the same transfers into a sink that keeps
// nothing, so that the cost of the files can be told from that of the transfers. On the set with
// the wait, wget2 and aria2c race too, each with its defaults, as the tools a user would pick
// instead. Prints each loop's time over curl's at the end, and over the faster of wget2 and
// aria2c's, and the process's peak memory while the loop fetches the 1 GiB body.
#include "platform/CurlFetcher.h"
#include "platform/ImageDownload.h"
#include "support/LoopbackServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
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
    std::chrono::milliseconds wait; // before each answer
};
// Benchmark arguments: the index of a set.
constexpr FileSet fileSets[] = {{1000, 10 * 1024, {}},
                                {100, 1 << 20, {}},
                                {1, qint64(1) << 30, {}},
                                {600, 50 * 1024, std::chrono::milliseconds(40)}};
constexpr int distantSet = 3;

struct Fixture
{
    quorel::tests::LoopbackServer server;
    QStringList urls[std::size(fileSets)];
    QStringList names[std::size(fileSets)];

    Fixture()
    {
        const FileSet &small = fileSets[0];
        server.serveUnder(u"/img/"_s, [&small](const QString &) { return QByteArray(small.size, 'x'); });
        const FileSet &distant = fileSets[distantSet];
        server.answerUnder(u"/far/"_s, [&distant](const QString &, int) {
            return quorel::tests::LoopbackServer::Answer::image(QByteArray(distant.size, 'x'), distant.wait);
        });
        for (size_t set = 0; set < std::size(fileSets); ++set)
            for (int n = 1; n <= fileSets[set].count; ++n) {
                names[set].append(u"img%1-%2.jpg"_s.arg(set).arg(n, 4, 10, QChar(u'0')));
                // The larger bodies are made as they are sent, so that the server holds none whole.
                if (set == 1 || set == 2)
                    server.serveGenerated(u"/big/"_s + names[set].last(), fileSets[set].size);
            }
        server.start();
        for (size_t set = 0; set < std::size(fileSets); ++set)
            for (const QString &name : std::as_const(names[set]))
                urls[set].append(server.url((set == distantSet ? u"/far/"_s
                                                 : set > 0     ? u"/big/"_s
                                                               : u"/img/"_s)
                                            + name));
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

// The transfers alone: the same fetcher, as many at once, every body dropped as it comes.
void TransfersAlone(benchmark::State &state)
{
    const Fixture &f = fixture();
    const quorel::platform::BodySink discard = [](QByteArrayView) { return quorel::core::Result<>(); };
    const QStringList &urls = f.urls[setOf(state)];
    for (auto _ : state) {
        quorel::platform::CurlFetcher fetcher;
        for (qsizetype next = 0;;) {
            for (; next < urls.size() && fetcher.room() > 0; ++next)
                fetcher.add(next, urls.at(next), discard);
            const QList<quorel::platform::UrlFetcher::Ended> ended = fetcher.next();
            if (ended.isEmpty())
                break;
            for (const quorel::platform::UrlFetcher::Ended &each : ended)
                if (!each.result) {
                    state.SkipWithError(describe(each.result.error()).c_str());
                    return;
                }
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

// Another tool with its defaults, given the set's addresses in a file (<list>) and the folder to
// fill (<into>).
void OtherTool(benchmark::State &state, const QString &program, const QStringList &options)
{
    const Fixture &f = fixture();
    if (QStandardPaths::findExecutable(program).isEmpty()) {
        state.SkipWithError((program + u" is not installed: left out of the race"_s).toStdString().c_str());
        return;
    }
    for (auto _ : state) {
        const QDir folder(newFolder());
        QFile list(folder.filePath(u"urls.txt"_s));
        if (!list.open(QIODevice::WriteOnly) || list.write(f.urls[setOf(state)].join(u'\n').toUtf8() + '\n') < 0) {
            state.SkipWithError("cannot write the address list");
            return;
        }
        list.close();
        const QString into = folder.filePath(u"into"_s);
        QStringList arguments;
        for (const QString &option : options)
            arguments.append(QString(option).replace(u"<list>"_s, list.fileName()).replace(u"<into>"_s, into));
        if (QProcess::execute(program, arguments) != 0
            || QDir(into).entryList(QDir::Files).size() != f.urls[setOf(state)].size()) {
            state.SkipWithError((program + u" failed"_s).toStdString().c_str());
            return;
        }
    }
    countItems(state);
}

void Wget2(benchmark::State &state)
{
    OtherTool(state, u"wget2"_s, {u"--quiet"_s, u"--input-file=<list>"_s, u"--directory-prefix=<into>"_s});
}

void Aria2c(benchmark::State &state)
{
    OtherTool(state, u"aria2c"_s, {u"--quiet"_s, u"--input-file=<list>"_s, u"--dir=<into>"_s});
}

// The set with the wait takes seconds a run: one run a repetition is enough.
void sets(benchmark::internal::Benchmark *benchmark)
{
    benchmark->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(DownloadLoop)->Apply(sets)->DenseRange(0, 2)->MinTime(3.0);
BENCHMARK(DownloadLoop)->Apply(sets)->Arg(distantSet)->Iterations(1);
BENCHMARK(TransfersAlone)->Apply(sets)->DenseRange(0, 2)->MinTime(3.0);
BENCHMARK(TransfersAlone)->Apply(sets)->Arg(distantSet)->Iterations(1);
BENCHMARK(CurlCommandLine)->Apply(sets)->DenseRange(0, 2)->MinTime(3.0);
BENCHMARK(CurlCommandLine)->Apply(sets)->Arg(distantSet)->Iterations(1);
BENCHMARK(Wget2)->Apply(sets)->Arg(distantSet)->Iterations(1);
BENCHMARK(Aria2c)->Apply(sets)->Arg(distantSet)->Iterations(1);

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
    const std::string distant = "/" + std::to_string(distantSet);
    for (const auto &[name, seconds] : reporter.seconds) {
        const std::string set = name.substr(name.find('/'));
        const auto curl = reporter.seconds.find("CurlCommandLine" + set);
        if (curl != reporter.seconds.end() && name != curl->first)
            std::printf("%s / curl command line: %.3f\n", name.c_str(), seconds / curl->second);
    }
    double fastestOther = 0;
    for (const char *tool : {"Wget2", "Aria2c"})
        if (const auto found = reporter.seconds.find(tool + distant); found != reporter.seconds.end())
            fastestOther = fastestOther > 0 ? std::min(fastestOther, found->second) : found->second;
    if (const auto loop = reporter.seconds.find("DownloadLoop" + distant);
        fastestOther > 0 && loop != reporter.seconds.end())
        std::printf("DownloadLoop%s / faster of wget2 and aria2c: %.3f\n", distant.c_str(),
                    loop->second / fastestOther);
    benchmark::Shutdown();
    return 0;
}
