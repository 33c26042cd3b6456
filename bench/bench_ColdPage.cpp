// The first Create and the first Save of the largest page in a process that has done nothing else,
// as after the program's start: each sample re-executes this program, so that every one meets
// memory the process never touched. Beside them, in the same run and interleaved:
//   plain    the page made in memory grown as QString::reserve gives it, and saved by copying the
//            page to append the line end, encoding it whole and writing the bytes whole;
//   write    the same bytes written by one open() and write() (the page is made untimed);
//   iconv    the same text converted to CP932 by iconv into a reused 64 KiB buffer.
// Prints min / median / max of the milliseconds and of the page faults (getrusage) of each.
// Usage: bench_ColdPage [samples]
#include "LargestPage.h"
#include "core/PageGenerator.h"
#include "platform/Cp932.h"
#include "platform/FileIO.h"
#include "platform/LargeText.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <fcntl.h>
#include <iconv.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace quorel;

namespace
{
core::PageRequest largestPage()
{
    // 120 characters, ending in its "/".
    QString base = QStringLiteral("http://www.example.org/photos/2026/");
    base += QString(119 - base.size(), u'a') + u'/';
    return bench::largestPage(base);
}

struct Mark
{
    std::chrono::steady_clock::time_point time = std::chrono::steady_clock::now();
    long faults = [] {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return usage.ru_minflt + usage.ru_majflt;
    }();
};

struct Span
{
    double ms;
    long faults;
};

Span since(const Mark &start)
{
    const Mark end;
    return {std::chrono::duration<double, std::milli>(end.time - start.time).count(), end.faults - start.faults};
}

core::PageResult makePage(bool largeText)
{
    core::PageRequest request = largestPage();
    request.codePageHolds = &platform::Cp932::holds;
    if (largeText)
        request.reserveText = &platform::LargeText::reserve;
    core::Result<core::PageResult> page = core::generatePage(request);
    if (!page || page->images.count() != core::PageLimits::maxImages) {
        std::fprintf(stderr, "the page does not hold 32767 images\n");
        std::exit(1);
    }
    return std::move(*page);
}

void check(const core::Result<> &written)
{
    if (!written) {
        std::fprintf(stderr, "the page was not written\n");
        std::exit(1);
    }
}

// One sample of one way, in this fresh process; prints "create-ms create-faults save-ms save-faults".
int child(const std::string &way, const QString &folder)
{
    const QString path = folder + QStringLiteral("/page.htm");
    Span create{0, 0};
    Span save{0, 0};
    if (way == "program") {
        const Mark start;
        const core::PageResult page = makePage(true);
        create = since(start);
        const Mark saving;
        check(platform::FileIO::writeText(path, page.text, u"\r\n"));
        save = since(saving);
    } else if (way == "plain") {
        const Mark start;
        const core::PageResult page = makePage(false);
        create = since(start);
        const Mark saving;
        check(platform::FileIO::writeWhole(path, platform::Cp932::encode(page.text + QStringLiteral("\r\n")).value()));
        save = since(saving);
    } else if (way == "write") {
        const QByteArray bytes = platform::Cp932::encode(makePage(true).text + QStringLiteral("\r\n")).value();
        const Mark saving;
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0 || ::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size() || ::close(fd) != 0)
            return 1;
        save = since(saving);
    } else if (way == "iconv") {
        const core::PageResult page = makePage(true);
        const Mark saving;
        iconv_t converter = iconv_open("CP932", "UTF-16LE");
        if (converter == iconv_t(-1))
            return 1;
        std::array<char, 64 * 1024> piece;
        char *in = const_cast<char *>(reinterpret_cast<const char *>(page.text.constData()));
        size_t inLeft = size_t(page.text.size()) * sizeof(QChar);
        while (inLeft > 0) {
            char *out = piece.data();
            size_t outLeft = piece.size();
            if (iconv(converter, &in, &inLeft, &out, &outLeft) == size_t(-1) && errno != E2BIG)
                return 1;
        }
        iconv_close(converter);
        save = since(saving);
    } else {
        return 2;
    }
    std::printf("%f %ld %f %ld\n", create.ms, create.faults, save.ms, save.faults);
    return 0;
}

struct Figures
{
    std::vector<double> createMs, saveMs, createFaults, saveFaults;
};

std::string summary(std::vector<double> values, const char *unit)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    char text[128];
    std::snprintf(text, sizeof text, "%9.1f %9.1f %9.1f %s", values.front(), median, values.back(), unit);
    return text;
}
}

int main(int argc, char **argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0)
        return child(argv[2], QString::fromLocal8Bit(argv[3]));

    const int samples = argc > 1 ? std::atoi(argv[1]) : 10;
    const std::vector<std::string> ways{"program", "plain", "write", "iconv"};
    std::map<std::string, Figures> figures;
    QTemporaryDir folder;
    char self[4096] = {};
    if (::readlink("/proc/self/exe", self, sizeof self - 1) <= 0)
        return 1;
    for (int sample = 0; sample < samples; ++sample)
        for (const std::string &way : ways) {
            const std::string command
                = "'" + std::string(self) + "' --child " + way + " '" + folder.path().toStdString() + "' </dev/null";
            FILE *output = ::popen(command.c_str(), "r");
            double createMs = 0, saveMs = 0;
            long createFaults = 0, saveFaults = 0;
            if (!output || std::fscanf(output, "%lf %ld %lf %ld", &createMs, &createFaults, &saveMs, &saveFaults) != 4
                || ::pclose(output) != 0) {
                std::fprintf(stderr, "the %s sample failed\n", way.c_str());
                return 1;
            }
            Figures &f = figures[way];
            f.createMs.push_back(createMs);
            f.saveMs.push_back(saveMs);
            f.createFaults.push_back(double(createFaults));
            f.saveFaults.push_back(double(saveFaults));
        }

    std::printf("%d fresh processes each; min, median, max\n", samples);
    for (const std::string &way : ways) {
        const Figures &f = figures[way];
        if (way == "program" || way == "plain")
            std::printf("%-8s first Create %s  %s\n", way.c_str(), summary(f.createMs, "ms").c_str(),
                        summary(f.createFaults, "faults").c_str());
        std::printf("%-8s first Save   %s  %s\n", way.c_str(), summary(f.saveMs, "ms").c_str(),
                    summary(f.saveFaults, "faults").c_str());
    }
    return 0;
}
