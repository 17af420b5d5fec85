#pragma once
// A small HTTP proxy on 127.0.0.1 that stands in for the web: it answers every request from canned
// routes or from a fallback, and records each request with the time it arrived.
//
// To send the program's requests to it, set http_proxy before the download starts; the download
// control asks the system proxy settings for every request, so any host name reaches it:
//     FakeWeb web;
//     web.Listen();
//     qputenv("http_proxy", web.ProxyUrl().toUtf8());

#include "ServiceReplicas.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <QUrl>

#include <functional>

class QTcpSocket;

// What the stand-in does with one request.
struct CannedReply {
    enum class Behaviour {
        Answer,       // status line, headers and the whole body
        NeverAnswer,  // keeps the connection open and sends nothing
        ResetMidBody, // announces the whole body, sends half of it and drops the connection
        Endless,      // a body without a length that streams as fast as the client reads, until it goes
        Drip,         // a body without a length: one byte every DripMs, until the client goes
    };

    int Status = 200;
    QByteArray Body;
    QByteArray ContentType = "text/html";
    QString Location;                                 // sent as the Location header when not empty (redirects)
    QList<std::pair<QByteArray, QByteArray>> Headers; // further headers, such as Retry-After
    int DelayMs = 0;                                  // before the answer starts
    int DripMs = 300;                                 // between two bytes of a Drip body
    Behaviour Kind = Behaviour::Answer;
};

struct RecordedRequest {
    QString Url;          // absolute, as the client asked for it
    qint64 AtMs = 0;      // since the stand-in was made, on the monotonic clock
    QByteArray UserAgent; // the client's User-Agent header
    QByteArray Method;
    QList<std::pair<QByteArray, QByteArray>> Headers;
    QByteArray Body;

    // The first header of that name, compared without case; empty when absent.
    QByteArray Header(const QByteArray& name) const;
};

class FakeWeb : public QObject {
    Q_OBJECT
public:
    using Fallback = std::function<CannedReply(const QUrl&)>;

    explicit FakeWeb(QObject* parent = nullptr);

    // Port 0 picks a free port. False when the port cannot be had.
    bool Listen(quint16 port = 0);
    quint16 Port() const { return server.serverPort(); }
    // The value for http_proxy.
    QString ProxyUrl() const;

    // Answers the absolute address url with reply. An address without a path stands for the path "/",
    // as clients send it.
    void AddRoute(const QString& url, const CannedReply& reply);
    // Answers what no route names; without a fallback that is a 404.
    void SetFallback(Fallback answer) { fallback = std::move(answer); }

    const QList<RecordedRequest>& Requests() const { return requests; }
    // The replicas of today's data services answer after the routes, before the fallback.
    ServiceReplicas& Replicas() { return replicas; }

Q_SIGNALS:
    void RequestReceived(const QString& url);
    void RequestRecorded(const RecordedRequest& request);

private:
    void Accept();
    void ReadRequest(QTcpSocket* socket);
    CannedReply ReplyFor(const RecordedRequest& request);

    QTcpServer server;
    QElapsedTimer clock;
    QHash<QString, CannedReply> routes;
    Fallback fallback;
    QList<RecordedRequest> requests;
    ServiceReplicas replicas;
};
