#include "desktop/QtDesktop.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <QWidget>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorel::desktop
{
InstanceLock::~InstanceLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool InstanceLock::heldElsewhere(const QString &path)
{
    // The kernel holds the lock for the life of the open file and drops it when its process ends,
    // however it ends: nothing in the file is read, so no leftover, empty or garbled file can
    // claim a copy that is gone.
    //
    // Only a file or a folder is opened: opening a device can act on it (a tape rewinds, a serial
    // line rings), and creating through a link could make a file anywhere, as root too. Anything
    // else in the lock's place is passed over for the folder that holds it, as by every copy.
    QByteArray name = QFile::encodeName(path);
    struct stat status = {};
    if (::lstat(name.constData(), &status) == 0 && !S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode))
        name = QFile::encodeName(QFileInfo(path).absolutePath());
    int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC, 0644);
    // A folder or a read-only file in its place is locked just as well: flock() needs no write access.
    if (fd < 0 && (errno == EISDIR || errno == EACCES || errno == EPERM))
        fd = ::open(name.constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false; // where no lock can be had, nothing says another copy runs
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
        return false;
    }
    const bool held = errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

QtDesktop::QtDesktop() = default;
QtDesktop::~QtDesktop() = default;

namespace
{
    QString callPath(const QString &lockPath)
    {
        return lockPath + QStringLiteral(".socket");
    }

    // At most this long for a running copy to answer, which it does from its event loop at once;
    // one that hangs leaves the refused copy's box in the middle of the screen.
    constexpr int answerMilliseconds = 2000;

    void bringForward(QWidget &window)
    {
        if (window.isMinimized())
            window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
        window.raise();
        window.activateWindow();
    }

    // The answer is the frame's left, top, width and height, in decimal, on one line.
    QByteArray frameAnswer(const QWidget &window)
    {
        const QRect frame = window.frameGeometry();
        return QByteArray::number(frame.x()) + ' ' + QByteArray::number(frame.y()) + ' '
            + QByteArray::number(frame.width()) + ' ' + QByteArray::number(frame.height()) + '\n';
    }

    std::optional<QRect> readFrameAnswer(const QByteArray &answer)
    {
        const QList<QByteArray> numbers = answer.trimmed().split(' ');
        if (numbers.size() != 4)
            return std::nullopt;
        int values[4] = {};
        for (int i = 0; i < 4; ++i) {
            bool ok = false;
            values[i] = numbers[i].toInt(&ok);
            if (!ok)
                return std::nullopt;
        }
        const QRect frame(values[0], values[1], values[2], values[3]);
        if (frame.width() <= 0 || frame.height() <= 0)
            return std::nullopt;
        return frame;
    }
}

bool QtDesktop::anotherInstanceRunning(const QString &lockPath)
{
    m_lockPath = lockPath;
    QDir().mkpath(QFileInfo(lockPath).absolutePath());
    return m_instanceLock.heldElsewhere(lockPath);
}

void QtDesktop::answerLaterCopies(QWidget &window)
{
    if (m_lockPath.isEmpty())
        return;
    const QString path = callPath(m_lockPath);
    // A socket left there belongs to a copy that has ended, as this one holds the lock; anything
    // else in its place is left alone, and later copies then find nobody to call.
    struct stat status = {};
    if (::lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISSOCK(status.st_mode))
        QLocalServer::removeServer(path);
    auto server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(path)) {
        qWarning("Later copies cannot bring the window forward: %s", qPrintable(server->errorString()));
        return;
    }
    // Nothing is read from a caller: calling is all it can do.
    QObject::connect(server.get(), &QLocalServer::newConnection, &window, [server = server.get(), &window] {
        while (QLocalSocket *caller = server->nextPendingConnection()) {
            QObject::connect(caller, &QLocalSocket::disconnected, caller, &QObject::deleteLater);
            bringForward(window);
            caller->write(frameAnswer(window));
            caller->disconnectFromServer();
        }
    });
    m_callsFromLaterCopies = std::move(server);
}

std::optional<QRect> QtDesktop::callRunningCopy()
{
    if (m_lockPath.isEmpty())
        return std::nullopt;
    // Waits in an event loop of its own, so that a running copy in this same process answers too.
    QLocalSocket socket;
    QEventLoop loop;
    QTimer::singleShot(answerMilliseconds, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QLocalSocket::disconnected, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QLocalSocket::errorOccurred, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QLocalSocket::readyRead, &loop, [&socket, &loop] {
        if (socket.bytesAvailable() > 64 || socket.peek(64).contains('\n'))
            loop.quit();
    });
    socket.connectToServer(callPath(m_lockPath));
    if (socket.state() != QLocalSocket::UnconnectedState)
        loop.exec();
    const QByteArray answer = socket.read(64);
    if (!answer.contains('\n'))
        return std::nullopt;
    return readFrameAnswer(answer.left(answer.indexOf('\n')));
}
}
