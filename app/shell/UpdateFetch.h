#pragma once

// The update check's download of the update information file.

#include <QByteArray>
#include <QObject>
#include <QUrl>

namespace vx {

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
