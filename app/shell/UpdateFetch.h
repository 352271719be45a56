#pragma once

// The update check's download of the update information file.

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QUrl>

namespace vx {

// The answer to one GET as it comes in: the status line and the headers
// used, then for status 200 the body (as long as Content-Length says, else up
// to the end of the connection), each within 64 KB.
class UpdateReply
{
public:
    // Takes the next bytes. True once the answer is read or refused: what
    // comes after is not used.
    bool take(QByteArrayView bytes);
    // The connection ended: a body of no stated length ends with it.
    void end();

    // A whole head, and for status 200 the whole body.
    [[nodiscard]] bool complete() const { return mComplete; }
    [[nodiscard]] int status() const { return mStatus; }
    [[nodiscard]] const QByteArray &location() const { return mLocation; }
    [[nodiscard]] const QByteArray &body() const { return mBody; }

private:
    bool parseHead(const QByteArray &head);
    bool finish();

    QByteArray mIn;
    bool mHeadDone = false;
    bool mDone = false;
    bool mComplete = false;
    int mStatus = 0;
    qint64 mLength = -1;
    QByteArray mLocation;
    QByteArray mBody;
};

// Where a complete answer to a GET of from sends the check next: empty when
// it is no redirect, names no place, or leads from https to a less safe one.
[[nodiscard]] QUrl redirectTarget(const QUrl &from, const UpdateReply &reply);

// Ends a running fetch early: cancel(), from the event loop the fetch waits
// in (its window's close, say), makes it return at once with nothing.
class FetchCancel : public QObject
{
    Q_OBJECT
public:
    void cancel()
    {
        mCancelled = true;
        emit cancelRequested();
    }
    [[nodiscard]] bool cancelled() const { return mCancelled; }

signals:
    void cancelRequested();

private:
    bool mCancelled = false;
};

// The body of the answer to a GET of url (http or https, following up to
// five redirects that keep https), fetched within timeoutMs in all. Empty
// when no answer with status 200 came by then, or when the head or the body
// outgrows what an update file needs (64 KB each). The connection is the
// check's own and is dropped when it ends, so nothing a server sends, or
// keeps sending, holds the check past its time. Empty, too, once cancel
// (when given) was cancelled.
[[nodiscard]] QByteArray fetchUpdateFile(const QUrl &url, int timeoutMs, const FetchCancel *cancel = nullptr);

} // namespace vx
