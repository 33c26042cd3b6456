#include "platform/FileIO.h"
#include "platform/WholeFile.h"
#include "platform/WholeFileSeams.h"
#include "support/FailureText.h"
#include "support/FileBytes.h"
#include "support/PeakMemory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <thread>

#include <fcntl.h>

using namespace quorel::platform;
using namespace Qt::StringLiterals;
using quorel::tests::contentsOf;
using quorel::tests::peakResidentSinceLast;
using quorel::tests::putBytes;

Q_DECLARE_METATYPE(WholeFileSeams::Step)
Q_DECLARE_METATYPE(std::optional<quorel::core::Reason>)

namespace
{
struct stat statusOf(const QString &path)
{
    struct stat status = {};
    ::lstat(QFile::encodeName(path).constData(), &status);
    return status;
}

// Makes a file of the kind at path; false where this user may not make one.
bool makeSpecial(const QString &kind, const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    if (kind == u"fifo"_s)
        return ::mkfifo(name.constData(), 0666) == 0;
    if (kind == u"device"_s) // the null device's numbers, made here so a fault cannot touch /dev
        return ::mknod(name.constData(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (static_cast<size_t>(name.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, name.constData(), static_cast<size_t>(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

// Resets the seams however a test ends.
struct HooksInForce
{
    explicit HooksInForce(WholeFileSeams::Hooks hooks) { WholeFileSeams::set(std::move(hooks)); }
    ~HooksInForce() { WholeFileSeams::set({}); }
};

using quorel::core::Reason;

// Whether writing path failed for reason, naming path.
bool failedOn(const quorel::core::Result<> &result, Reason reason, const QString &path)
{
    return !result && result.error().reason == reason && result.error().action == quorel::core::Action::WriteFile
        && result.error().subject == QDir::toNativeSeparators(path);
}
}

class TestWholeFile : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    QString pathOf(const QString &name) const { return m_dir->filePath(name); }
    QStringList entries() const
    {
        return QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    QByteArrayList m_mounts;

    // False where this user may not mount (then the test is skipped).
    bool mount(const QString &source, const QString &at, const char *type, unsigned long flags, const char *options)
    {
        const QByteArray target = QFile::encodeName(at);
        if (::mount(QFile::encodeName(source).constData(), target.constData(), type, flags, options) != 0)
            return false;
        m_mounts.append(target);
        return true;
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void cleanup()
    {
        WholeFileSeams::set({});
        while (!m_mounts.isEmpty())
            ::umount2(m_mounts.takeLast().constData(), MNT_DETACH);
    }

    void nonRegularTargetIsRefusedUntouched_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("throughLink");
        for (const QString &kind : {u"fifo"_s, u"device"_s, u"socket"_s}) {
            QTest::addRow("%s", qPrintable(kind)) << kind << false;
            QTest::addRow("link to %s", qPrintable(kind)) << kind << true;
        }
    }

    void nonRegularTargetIsRefusedUntouched()
    {
        QFETCH(QString, kind);
        QFETCH(bool, throughLink);
        const QString special = pathOf(u"special"_s);
        if (!makeSpecial(kind, special))
            QSKIP("This user may not make such a file.");
        const QString path = throughLink ? pathOf(u"quorel.ini"_s) : special;
        if (throughLink)
            QVERIFY(QFile::link(special, path));
        const struct stat before = statusOf(special);
        const QStringList namesBefore = entries();

        // A FIFO opened for writing would block here for ever.
        const quorel::core::Result<> written = FileIO::writeText(path, u"[開始]\r\n1\r\n"_s);

        QVERIFY(failedOn(written, Reason::DeviceOrPipe, path));
        const struct stat after = statusOf(special);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(entries(), namesBefore);
    }

    // Whoever runs the program: the mode bits alone say whether a file may be replaced.
    void modeBitsDecide_data()
    {
        QTest::addColumn<uint>("mode");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("r--r--r--") << 0444u << false;
        QTest::newRow("r--------") << 0400u << false;
        QTest::newRow("---------") << 0000u << false;
        QTest::newRow("rw-r--r-- kept") << 0644u << true;
        QTest::newRow("rw------- kept") << 0600u << true;
        QTest::newRow("rwxr-x--- kept") << 0750u << true;
    }

    void modeBitsDecide()
    {
        QFETCH(uint, mode);
        QFETCH(bool, replaced);
        const QString path = pathOf(u"page.htm"_s);
        QVERIFY(putBytes(path, "old"));
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode), 0);

        const quorel::core::Result<> written = FileIO::writeWhole(path, "new");

        QCOMPARE(written.ok(), replaced);
        QCOMPARE(contentsOf(path), replaced ? QByteArray("new") : QByteArray("old"));
        if (!replaced)
            QVERIFY(failedOn(written, Reason::ReadOnlyFile, path));
        QCOMPARE(statusOf(path).st_mode & 07777, mode);
        QCOMPARE(entries(), QStringList{u"page.htm"_s});
    }

    // The folder refuses new files (through the seam, since root could make them anyway).
    void folderThatTakesNoNewFile_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<uint>("mode");
        QTest::addColumn<std::optional<Reason>>("reason"); // none when written
        QTest::newRow("writable file written in place") << true << 0640u << std::optional<Reason>();
        QTest::newRow("read-only file kept") << true << 0444u << std::optional(Reason::ReadOnlyFile);
        QTest::newRow("new file refused") << false << 0u << std::optional(Reason::NotPermitted);
    }

    void folderThatTakesNoNewFile()
    {
        QFETCH(bool, exists);
        QFETCH(uint, mode);
        QFETCH(std::optional<Reason>, reason);
        const QString path = pathOf(u"page.htm"_s);
        if (exists) {
            QVERIFY(putBytes(path, QByteArray(5000, 'o')));
            QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode), 0);
        }
        const struct stat before = statusOf(path);
        QStringList asked;
        HooksInForce hooks({[&](const QString &folder) {
                                asked.append(folder);
                                return false;
                            },
                            {}});

        WholeFile file(path);
        quorel::core::Result<> result = file.open();
        if (result)
            result = file.write("new ");
        if (result) {
            // Nothing reaches the file before commit.
            QCOMPARE(contentsOf(path), QByteArray(5000, 'o'));
            result = file.write("page");
        }
        if (result)
            result = file.commit();

        // A read-only file is refused before the folder matters.
        QCOMPARE(asked, reason == Reason::ReadOnlyFile ? QStringList() : QStringList{m_dir->path()});
        if (!reason) {
            QVERIFY2(result.ok(), qPrintable(quorel::tests::failureText(result)));
            QCOMPARE(contentsOf(path), QByteArray("new page"));
            QCOMPARE(statusOf(path).st_ino, before.st_ino);
            QCOMPARE(statusOf(path).st_mode & 07777, mode);
        } else {
            QVERIFY(failedOn(result, *reason, path));
            QCOMPARE(QFile::exists(path), exists);
        }
        QCOMPARE(entries(), exists ? QStringList{u"page.htm"_s} : QStringList());
    }

    // The bytes an in-place write holds back go to a temporary file in the cache folder, or else in
    // the system's temporary folder; never into memory, and a full one fails the file alone.
    void inPlaceWriteOfALargeFileHoldsLittleMemory_data()
    {
        QTest::addColumn<QString>("temporary");
        QTest::newRow("cache folder") << u"cache"_s;
        QTest::newRow("cache folder and TMPDIR a file") << u"none usable"_s;
        QTest::newRow("full cache folder") << u"full"_s;
    }

    void inPlaceWriteOfALargeFileHoldsLittleMemory()
    {
        QFETCH(QString, temporary);
        const QString path = pathOf(u"image.jpg"_s);
        QVERIFY(putBytes(path, "old"));
        const QString cache = pathOf(u"cache"_s);
        const QByteArray savedCache = qgetenv("XDG_CACHE_HOME");
        const QByteArray savedTemporary = qgetenv("TMPDIR");
        const auto restore = qScopeGuard([&] {
            for (const auto &[name, value] :
                 {std::pair("XDG_CACHE_HOME", savedCache), std::pair("TMPDIR", savedTemporary)})
                value.isNull() ? qunsetenv(name) : qputenv(name, value);
        });
        qputenv("XDG_CACHE_HOME", QFile::encodeName(cache));
        if (temporary == u"none usable"_s) {
            QVERIFY(putBytes(cache, "a file"));
            qputenv("TMPDIR", QFile::encodeName(cache));
        }
        if (temporary == u"full"_s) {
            QVERIFY(QDir().mkpath(cache));
            if (!mount(u"tmpfs"_s, cache, "tmpfs", 0, "size=1m"))
                QSKIP("This user may not mount file systems.");
        }
        HooksInForce hooks({[](const QString &) { return false; }, {}});
        QByteArray chunk(1 << 20, Qt::Uninitialized);
        constexpr int chunks = 256;
        if (peakResidentSinceLast() < 0)
            QSKIP("The system shows no peak memory that can be reset.");
        const qint64 before = peakResidentSinceLast();
        WholeFile file(path);
        QVERIFY(file.open().ok());
        quorel::core::Result<> written;
        for (int k = 0; k < chunks && written; ++k) {
            chunk.fill(char('a' + k % 26));
            written = file.write(chunk);
        }
        if (temporary == u"full"_s) {
            QVERIFY(failedOn(written, Reason::NoTemporaryRoom, path));
            QCOMPARE(written.error().detail, cache);
            QCOMPARE(contentsOf(path), "old"_ba);
            return;
        }
        QVERIFY(written.ok());
        QVERIFY(file.commit().ok());
        const qint64 growth = peakResidentSinceLast() - before;
        QFile landed(path);
        QVERIFY(landed.open(QIODevice::ReadOnly));
        QCOMPARE(landed.size(), qint64(chunks) << 20);
        QVERIFY(landed.seek((qint64(chunks) - 1) << 20));
        QCOMPARE(landed.read(4), QByteArray(4, char('a' + (chunks - 1) % 26)));
#ifndef __SANITIZE_ADDRESS__
        QVERIFY2(growth < 32 << 20, qPrintable(u"peak grew by %1 bytes"_s.arg(growth)));
#else
        Q_UNUSED(growth);
#endif
    }

    // A link that another user planted is not followed; the user's own, and the folder owner's, are.
    void linksAreFollowedOnlyWhenTrusted_data()
    {
        QTest::addColumn<uint>("linkOwner");
        QTest::addColumn<uint>("folderOwner");
        QTest::addColumn<bool>("targetExists");
        QTest::addColumn<bool>("followed");
        const uint self = ::geteuid();
        const uint other = self + 4242;
        QTest::newRow("own link") << self << self << true << true;
        QTest::newRow("own dangling link") << self << self << false << true;
        QTest::newRow("link of the folder's owner") << other << other << true << true;
        QTest::newRow("another user's link") << other << self << true << false;
        QTest::newRow("another user's dangling link") << other << self << false << false;
    }

    void linksAreFollowedOnlyWhenTrusted()
    {
        QFETCH(uint, linkOwner);
        QFETCH(uint, folderOwner);
        QFETCH(bool, targetExists);
        QFETCH(bool, followed);
        const QString folder = pathOf(u"shared"_s);
        const QString target = pathOf(u"elsewhere.ini"_s);
        const QString link = folder + u"/quorel.ini"_s;
        QVERIFY(QDir().mkpath(folder));
        if (targetExists)
            QVERIFY(putBytes(target, "old"));
        QVERIFY(QFile::link(target, link));
        if (::lchown(QFile::encodeName(link).constData(), linkOwner, uid_t(-1)) != 0
            || ::chown(QFile::encodeName(folder).constData(), folderOwner, gid_t(-1)) != 0)
            QSKIP("This user may not give a file to another user.");

        const quorel::core::Result<> written = FileIO::writeWhole(link, "new");

        QCOMPARE(written.ok(), followed);
        QCOMPARE(contentsOf(target), followed ? QByteArray("new") : targetExists ? QByteArray("old") : QByteArray());
        QCOMPARE(QFile::exists(target), followed || targetExists);
        QVERIFY(QFileInfo(link).isSymLink());
        if (!followed) {
            QVERIFY(failedOn(written, Reason::LinkNotTrusted, link));
            QCOMPARE(written.error().detail, QDir::toNativeSeparators(link));
        }
    }

    // A link's target is taken byte for byte, whatever its name: the bytes land there, never in a
    // file named after a reading of it.
    void linkTargetIsTakenByteForByte_data()
    {
        QTest::addColumn<QByteArray>("target"); // as the link holds it; <dir> is the test's folder
        QTest::addColumn<bool>("inOpenFolder"); // written as a download does, relative to the folder
        for (const bool inOpenFolder : {false, true}) {
            const char *how = inOpenFolder ? "in an open folder" : "by path";
            QTest::addRow("not UTF-8, %s", how) << "\xff.dat"_ba << inOpenFolder;
            QTest::addRow("folder not UTF-8, %s", how) << "sub\xfe/x\xff.dat"_ba << inOpenFolder;
            QTest::addRow("absolute, %s", how) << "<dir>/\xff\xfe.dat"_ba << inOpenFolder;
        }
    }

    void linkTargetIsTakenByteForByte()
    {
        QFETCH(QByteArray, target);
        QFETCH(bool, inOpenFolder);
        const QByteArray dir = QFile::encodeName(m_dir->path());
        target.replace("<dir>", dir);
        const QByteArray file = target.startsWith('/') ? target : dir + '/' + target;
        ::mkdir(file.left(file.lastIndexOf('/')).constData(), 0700);
        const auto writeRaw = [&file](const QByteArray &bytes) {
            const int fd = ::open(file.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            return fd >= 0 && ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size() && ::close(fd) == 0;
        };
        QVERIFY(writeRaw("old"));
        QCOMPARE(::symlink(target.constData(), (dir + "/img01.jpg").constData()), 0);
        const qsizetype entriesBefore = entries().size();

        quorel::core::Result<> written = quorel::core::fail(Reason::Unexplained);
        if (inOpenFolder) {
            const int folder = ::open(dir.constData(), O_PATH | O_DIRECTORY);
            WholeFile image(folder, m_dir->path() + u'/', u"img01.jpg"_s);
            written = image.open();
            if (written)
                written = image.write("new");
            if (written)
                written = image.commit();
            ::close(folder);
        } else {
            written = FileIO::writeWhole(pathOf(u"img01.jpg"_s), "new");
        }

        QVERIFY2(written.ok(), qPrintable(quorel::tests::failureText(written)));
        QFile landed;
        const int fd = ::open(file.constData(), O_RDONLY);
        QVERIFY(landed.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
        QCOMPARE(landed.readAll(), "new"_ba);
        QVERIFY(QFileInfo(pathOf(u"img01.jpg"_s)).isSymLink());
        QCOMPARE(entries().size(), entriesBefore);
    }

    void inPlaceWriteNotCommittedLeavesTheFile()
    {
        const QString path = pathOf(u"page.htm"_s);
        QVERIFY(putBytes(path, "old"));
        HooksInForce hooks({[](const QString &) { return false; }, {}});
        {
            WholeFile file(path);
            QVERIFY(file.open().ok());
            QVERIFY(file.write("new").ok());
        }
        QCOMPARE(contentsOf(path), QByteArray("old"));
    }

    // Files that can only be written in place, on file systems made for the test.
    void inPlaceWriteOnMountedFiles_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<std::optional<Reason>>("reason"); // none when written
        // The folder refuses new files; the disk cannot take the new page. The old one must survive.
        QTest::newRow("full disk keeps the old file") << u"full"_s << std::optional(Reason::DiskFull);
        // A writable file mounted into a read-only tree, as a container's configuration file.
        QTest::newRow("writable file in read-only tree") << u"read-only tree"_s << std::optional<Reason>();
        // A file mounted over its name cannot be renamed over, even in a writable folder.
        QTest::newRow("file mounted over its name") << u"mounted file"_s << std::optional<Reason>();
        // Refused when opened, before a download would hold the whole body for it.
        QTest::newRow("read-only file mounted over its name")
            << u"read-only mounted file"_s << std::optional(Reason::NotPermitted);
    }

    void inPlaceWriteOnMountedFiles()
    {
        QFETCH(QString, setting);
        QFETCH(std::optional<Reason>, reason);
        const QString folder = pathOf(u"mounted"_s);
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + u"/quorel.ini"_s;
        const QByteArray old(8192, 'o');
        const QByteArray page(256 * 1024, 'n');
        if (!mount(u"tmpfs"_s, folder, "tmpfs", 0, "size=1m"))
            QSKIP("This user may not mount file systems.");
        QString holder = path; // where the bytes end up
        if (setting == u"full"_s) {
            QVERIFY(putBytes(path, old));
            QFile filler(folder + u"/filler"_s);
            QVERIFY(filler.open(QIODevice::WriteOnly));
            while (filler.write(QByteArray(4096, 'f')) == 4096 && filler.flush()) { }
            WholeFileSeams::set({[](const QString &) { return false; }, {}});
        } else {
            holder = pathOf(u"real.ini"_s);
            QVERIFY(putBytes(holder, old));
            QVERIFY(putBytes(path, {}));
            QVERIFY(mount(holder, path, nullptr, MS_BIND, nullptr));
            if (setting == u"read-only tree"_s)
                QVERIFY(mount({}, folder, nullptr, MS_REMOUNT | MS_RDONLY, nullptr));
            if (setting == u"read-only mounted file"_s) {
                QVERIFY(mount({}, path, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr));
                WholeFile file(path);
                QVERIFY(!file.open());
            }
        }

        const quorel::core::Result<> written = FileIO::writeWhole(path, page);

        if (!reason) {
            QVERIFY2(written.ok(), qPrintable(quorel::tests::failureText(written)));
            QCOMPARE(contentsOf(holder), page);
        } else {
            QVERIFY(failedOn(written, *reason, path));
            QCOMPARE(contentsOf(holder), old);
        }
    }

    // Every point where a write can be cut short, in this process (what the folder shows then) and
    // in a child killed there without any clean-up (what it shows afterwards).
    void interruptedWriteShowsNoTemporaryFile_data()
    {
        QTest::addColumn<bool>("replacing");
        QTest::addColumn<WholeFileSeams::Step>("step");
        const std::pair<const char *, WholeFileSeams::Step> steps[] = {
            {"opened", WholeFileSeams::Step::Opened},
            {"written", WholeFileSeams::Step::Written},
            {"committing", WholeFileSeams::Step::Committing},
        };
        for (const auto &[name, step] : steps) {
            QTest::addRow("new file, %s", name) << false << step;
            QTest::addRow("replacement, %s", name) << true << step;
        }
    }

    void interruptedWriteShowsNoTemporaryFile()
    {
        QFETCH(bool, replacing);
        QFETCH(WholeFileSeams::Step, step);
        const QString path = pathOf(u"quorel.ini"_s);
        if (replacing)
            QVERIFY(putBytes(path, "old"));
        const QStringList before = entries();
        const QByteArray chunk(64 * 1024, 'n');

        QList<QStringList> seen;
        {
            HooksInForce hooks({{}, [&](WholeFileSeams::Step) { seen.append(entries()); }});
            WholeFile file(path);
            QVERIFY(file.open().ok());
            for (int k = 0; k < 3; ++k)
                QVERIFY(file.write(chunk).ok());
            QVERIFY(file.commit().ok());
        }
        QCOMPARE(seen.size(), 5);
        for (const QStringList &names : std::as_const(seen))
            QCOMPARE(names, before);
        QCOMPARE(contentsOf(path).size(), 3 * chunk.size());

        if (replacing)
            QVERIFY(putBytes(path, "old"));
        else
            QVERIFY(QFile::remove(path));
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            WholeFileSeams::set({{}, [step](WholeFileSeams::Step reached) {
                                     if (reached == step)
                                         ::_exit(0); // as a kill would: no destructor runs
                                 }});
            WholeFile file(path);
            if (file.open())
                for (int k = 0; k < 3; ++k)
                    (void)file.write(chunk);
            (void)file.commit();
            ::_exit(1);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QCOMPARE(entries(), before);
        if (replacing)
            QCOMPARE(contentsOf(path), QByteArray("old"));
    }

    void settingsReadSkipsNonRegularFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("throughLink");
        QTest::newRow("fifo") << u"fifo"_s << false;
        QTest::newRow("link to fifo") << u"fifo"_s << true;
        QTest::newRow("socket") << u"socket"_s << false;
        QTest::newRow("device") << u"device"_s << false;
    }

    void settingsReadSkipsNonRegularFiles()
    {
        QFETCH(QString, kind);
        QFETCH(bool, throughLink);
        const QString special = pathOf(u"special"_s);
        if (!makeSpecial(kind, special))
            QSKIP("This user may not make such a file.");
        const QString path = throughLink ? pathOf(u"quorel.ini"_s) : special;
        if (throughLink)
            QVERIFY(QFile::link(special, path));
        // A FIFO without a writer would block a plain open for ever; one with a writer waiting to
        // open it shows whether it was opened at all, as a device must not be.
        std::atomic<bool> writerIn = false;
        std::thread writer;
        if (kind == u"fifo"_s)
            writer = std::thread([&] {
                ::close(::open(QFile::encodeName(special).constData(), O_WRONLY | O_CLOEXEC));
                writerIn = true;
            });
        QTest::qWait(writer.joinable() ? 100 : 0); // for the writer to wait in open()
        const bool read = FileIO::readTextLines(path).ok();
        QTest::qWait(writer.joinable() ? 100 : 0);
        const bool opened = writerIn;
        if (writer.joinable()) {
            const int reader = ::open(QFile::encodeName(special).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            writer.join();
            ::close(reader);
        }
        QVERIFY(!read);
        QVERIFY(!opened);
    }

    void settingsReadFollowsLinkToRegularFile()
    {
        QVERIFY(putBytes(pathOf(u"real.ini"_s), "a\r\nb\r\n"));
        QVERIFY(QFile::link(pathOf(u"real.ini"_s), pathOf(u"quorel.ini"_s)));
        QCOMPARE(FileIO::readTextLines(pathOf(u"quorel.ini"_s)).value(), (QStringList{u"a"_s, u"b"_s}));
    }
};

QTEST_GUILESS_MAIN(TestWholeFile)
#include "test_WholeFile.moc"
