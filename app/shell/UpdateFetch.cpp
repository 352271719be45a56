#include "app/shell/UpdateFetch.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QList>
#include <QSslSocket>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

// The file is fetched over a socket of our own rather than through Qt's
// network access: that one reads on a thread of its own, which a server that
// sends header lines without end keeps busy past any abort, and destroying
// it then waits seconds for that thread.

namespace vx {

namespace {

// An update file is a few lines; an answer past these is no update file.
constexpr qsizetype kMostHeadBytes = 64 * 1024;
constexpr qsizetype kMostBodyBytes = 64 * 1024;
constexpr int kMostRedirects = 5;

// One GET of url, ended by the deadline or the cancel at the latest.
UpdateReply getOnce(const QUrl &url, const QDeadlineTimer &deadline, const FetchCancel *cancel)
{
    UpdateReply a;
    const bool secure = url.scheme() == QLatin1String("https");
    if (secure && !QSslSocket::supportsSsl())
        return a;
    std::unique_ptr<QTcpSocket> socket = secure ? std::make_unique<QSslSocket>() : std::make_unique<QTcpSocket>();
    socket->setReadBufferSize(kMostHeadBytes + kMostBodyBytes);
    QEventLoop loop;
    bool done = false;
    const auto finish = [&] {
        done = true;
        loop.quit();
    };

    // HTTP/1.0: the answer comes whole, without chunks, and the server ends
    // the connection after it.
    QByteArray target = url.path(QUrl::FullyEncoded).toLatin1();
    if (target.isEmpty())
        target = "/";
    if (url.hasQuery())
        target += '?' + url.query(QUrl::FullyEncoded).toLatin1();
    const QByteArray request = "GET " + target + " HTTP/1.0\r\nHost: " +
                               url.adjusted(QUrl::RemoveUserInfo).authority(QUrl::FullyEncoded).toLatin1() +
                               "\r\nAccept: */*\r\nConnection: close\r\n\r\n";
    const auto send = [&] { socket->write(request); };

    QObject::connect(socket.get(), &QTcpSocket::readyRead, &loop, [&] {
        if (a.take(socket->readAll()))
            finish();
    });
    QObject::connect(socket.get(), &QAbstractSocket::disconnected, &loop, [&] {
        if (!a.take(socket->readAll()))
            a.end();
        finish();
    });
    QObject::connect(socket.get(), &QAbstractSocket::errorOccurred, &loop, [&](QAbstractSocket::SocketError e) {
        // A server that closes after its answer reports it as an error too.
        if (e != QAbstractSocket::RemoteHostClosedError)
            finish();
    });
    QTimer guard;
    guard.setSingleShot(true);
    guard.setTimerType(Qt::PreciseTimer);
    QObject::connect(&guard, &QTimer::timeout, &loop, finish);
    guard.start(int(deadline.remainingTime()));
    if (cancel)
        QObject::connect(cancel, &FetchCancel::cancelRequested, &loop, finish);

    const quint16 port = quint16(url.port(secure ? 443 : 80));
    if (secure) {
        auto *ssl = static_cast<QSslSocket *>(socket.get());
        QObject::connect(ssl, &QSslSocket::encrypted, &loop, send);
        ssl->connectToHostEncrypted(url.host(), port);
    } else {
        QObject::connect(socket.get(), &QAbstractSocket::connected, &loop, send);
        socket->connectToHost(url.host(), port);
    }
    if (!done)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    socket->disconnect();
    socket->abort(); // whatever the server still sends goes nowhere
    return a;
}

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

} // namespace

// Splits the head off: the status and the headers used. False for a head
// that is no HTTP answer.
bool UpdateReply::parseHead(const QByteArray &head)
{
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> status = lines.first().trimmed().split(' ');
    if (status.size() < 2 || !status[0].startsWith("HTTP/"))
        return false;
    bool ok = false;
    mStatus = status[1].toInt(&ok);
    if (!ok)
        return false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon < 0)
            continue;
        const QByteArray name = lines[i].left(colon).trimmed().toLower();
        const QByteArray value = lines[i].mid(colon + 1).trimmed();
        if (name == "content-length") {
            mLength = value.toLongLong(&ok);
            if (!ok || mLength < 0)
                return false;
        } else if (name == "location") {
            mLocation = value;
        }
    }
    return true;
}

bool UpdateReply::finish()
{
    mDone = true;
    return true;
}

bool UpdateReply::take(QByteArrayView bytes)
{
    if (mDone)
        return true;
    mIn += bytes;
    if (!mHeadDone) {
        const qsizetype crlf = mIn.indexOf("\n\r\n");
        const qsizetype lf = mIn.indexOf("\n\n");
        const qsizetype end = crlf >= 0 && (lf < 0 || crlf < lf) ? crlf : lf;
        if (end < 0)
            return mIn.size() > kMostHeadBytes && finish(); // a head without end
        if (end > kMostHeadBytes || !parseHead(mIn.left(end)))
            return finish();
        mIn.remove(0, end + (end == crlf ? 3 : 2));
        mHeadDone = true;
        if (mStatus != 200) {
            mComplete = true; // a redirect or a refusal: its body is not used
            return finish();
        }
    }
    if (mIn.size() > kMostBodyBytes || mLength > kMostBodyBytes)
        return finish();
    if (mLength >= 0 && mIn.size() >= mLength) {
        mBody = mIn.left(mLength);
        mComplete = true;
        return finish();
    }
    return false;
}

void UpdateReply::end()
{
    if (mDone)
        return;
    if (mHeadDone && mLength < 0) {
        mBody = mIn; // the end of the connection ends the body
        mComplete = true;
    }
    finish();
}

QUrl redirectTarget(const QUrl &from, const UpdateReply &reply)
{
    if (!reply.complete() || !isRedirect(reply.status()) || reply.location().isEmpty())
        return {};
    const QUrl next = from.resolved(QUrl::fromEncoded(reply.location()));
    // Never from https to a less safe address.
    if (from.scheme() == QLatin1String("https") && next.scheme() != QLatin1String("https"))
        return {};
    return next;
}

QByteArray fetchUpdateFile(const QUrl &url, int timeoutMs, const FetchCancel *cancel)
{
    const QDeadlineTimer deadline(timeoutMs);
    QUrl at = url;
    for (int hop = 0; hop <= kMostRedirects && !deadline.hasExpired(); ++hop) {
        if (at.scheme() != QLatin1String("http") && at.scheme() != QLatin1String("https"))
            return {};
        if (cancel && cancel->cancelled())
            return {};
        const UpdateReply a = getOnce(at, deadline, cancel);
        if (!a.complete() || (cancel && cancel->cancelled()))
            return {};
        if (a.status() == 200)
            return a.body();
        at = redirectTarget(at, a);
    }
    return {};
}

} // namespace vx
