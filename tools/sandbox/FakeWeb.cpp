// The stand-in web: a proxy that reads one request per connection and answers it from its routes.

#include "FakeWeb.h"

#include <QTcpSocket>
#include <QTimer>

#include <memory>

namespace {

// Clients send "/" for an address without a path; routes are looked up the same way.
QString RouteKey(QUrl url)
{
    if (url.path().isEmpty())
        url.setPath(QStringLiteral("/"));
    return url.toString(QUrl::FullyEncoded);
}

QByteArray ReasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 422:
        return "Unprocessable Entity";
    case 429:
        return "Too Many Requests";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

QByteArray HeaderValue(const QList<QByteArray>& lines, const QByteArray& name)
{
    for (const QByteArray& line : lines) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

constexpr qint64 StreamChunk = 64 * 1024;

// Keeps about one chunk waiting on the socket, so the stream goes as fast as the client reads and
// no faster.
void StreamUntilClosed(QTcpSocket* socket)
{
    const QByteArray chunk(StreamChunk, 'x');
    auto pump = [socket, chunk] {
        if (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() < StreamChunk)
            socket->write(chunk);
    };
    QObject::connect(socket, &QTcpSocket::bytesWritten, socket, pump);
    pump();
}

void DripUntilClosed(QTcpSocket* socket, int intervalMs)
{
    auto* drip = new QTimer(socket);
    QObject::connect(drip, &QTimer::timeout, socket, [socket] {
        if (socket->state() == QAbstractSocket::ConnectedState)
            socket->write("x");
    });
    drip->start(intervalMs);
}

void Send(QTcpSocket* socket, const CannedReply& reply)
{
    if (reply.Kind == CannedReply::Behaviour::NeverAnswer)
        return;
    const bool streams = reply.Kind == CannedReply::Behaviour::Endless || reply.Kind == CannedReply::Behaviour::Drip;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.Status) + ' ' + ReasonPhrase(reply.Status) + "\r\n";
    head += "Content-Type: " + reply.ContentType + "\r\n";
    if (!streams)
        head += "Content-Length: " + QByteArray::number(reply.Body.size()) + "\r\n";
    if (!reply.Location.isEmpty())
        head += "Location: " + reply.Location.toUtf8() + "\r\n";
    for (const auto& [name, value] : reply.Headers)
        head += name + ": " + value + "\r\n";
    head += "Connection: close\r\n\r\n";
    if (reply.Kind == CannedReply::Behaviour::ResetMidBody) {
        socket->write(head + reply.Body.left(reply.Body.size() / 2));
        socket->flush();
        socket->abort();
        return;
    }
    if (reply.Kind == CannedReply::Behaviour::Endless) {
        socket->write(head);
        StreamUntilClosed(socket);
        return;
    }
    if (reply.Kind == CannedReply::Behaviour::Drip) {
        socket->write(head);
        DripUntilClosed(socket, reply.DripMs);
        return;
    }
    socket->write(head + reply.Body);
    socket->disconnectFromHost();
}

} // namespace

FakeWeb::FakeWeb(QObject* parent) : QObject(parent)
{
    clock.start();
    connect(&server, &QTcpServer::newConnection, this, &FakeWeb::Accept);
}

bool FakeWeb::Listen(quint16 port)
{
    return server.listen(QHostAddress::LocalHost, port);
}

QString FakeWeb::ProxyUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(Port());
}

void FakeWeb::AddRoute(const QString& url, const CannedReply& reply)
{
    routes.insert(RouteKey(QUrl(url)), reply);
}

void FakeWeb::Accept()
{
    while (QTcpSocket* socket = server.nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { ReadRequest(socket); });
    }
}

void FakeWeb::ReadRequest(QTcpSocket* socket)
{
    // The head, and the body its Content-Length announces, may come in pieces; they are kept on the
    // socket until all has arrived.
    QByteArray head = socket->property("head").toByteArray() + socket->readAll();
    const qsizetype end = head.indexOf("\r\n\r\n");
    if (end < 0) {
        socket->setProperty("head", head);
        return;
    }
    const QList<QByteArray> lines = head.left(end).split('\n');
    const qsizetype bodyLength = qMax(0, HeaderValue(lines, "Content-Length").toInt());
    if (head.size() < end + 4 + bodyLength) {
        socket->setProperty("head", head);
        return;
    }
    // One request per connection: whatever follows it is not read.
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    const QByteArray target = requestLine.value(1);
    QUrl url = QUrl::fromEncoded(target);
    if (target.startsWith('/'))
        url = QUrl::fromEncoded("http://" + HeaderValue(lines, "Host") + target);

    RecordedRequest recorded{
        url.toString(QUrl::FullyEncoded), clock.elapsed(), HeaderValue(lines, "User-Agent"), requestLine.value(0), {},
        head.mid(end + 4, bodyLength)};
    for (qsizetype n = 1; n < lines.size(); ++n) {
        const qsizetype colon = lines.at(n).indexOf(':');
        if (colon > 0)
            recorded.Headers.append({lines.at(n).left(colon).trimmed(), lines.at(n).mid(colon + 1).trimmed()});
    }
    requests.append(recorded);
    Q_EMIT RequestReceived(requests.last().Url);
    Q_EMIT RequestRecorded(requests.last());

    CannedReply reply;
    if (!url.isValid() || url.scheme() != QLatin1String("http") || url.host().isEmpty()) {
        reply.Status = 400;
        reply.Body = "This stand-in answers plain http requests only.";
    } else {
        reply = ReplyFor(requests.last());
    }
    if (reply.DelayMs > 0)
        QTimer::singleShot(reply.DelayMs, socket, [socket, reply] { Send(socket, reply); });
    else
        Send(socket, reply);
}

QByteArray RecordedRequest::Header(const QByteArray& name) const
{
    for (const auto& [key, value] : Headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

CannedReply FakeWeb::ReplyFor(const RecordedRequest& request)
{
    const QUrl url(request.Url);
    const auto route = routes.constFind(RouteKey(url));
    if (route != routes.constEnd())
        return *route;
    if (std::optional<CannedReply> replica = replicas.Answer(request))
        return *replica;
    if (fallback)
        return fallback(url);
    CannedReply missing;
    missing.Status = 404;
    missing.Body = "Not found";
    return missing;
}
