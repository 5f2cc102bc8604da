#pragma once

// A small HTTP/1.1 server on 127.0.0.1 for tests: canned replies by path, and a record of the requests.

#include <QHash>
#include <QHostAddress>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

class TestHttpServer
{
public:
    struct Reply
    {
        int status = 200;
        QByteArray body;
        QByteArray location; ///< for redirects
        bool stall = false; ///< accept the request and never answer
        int delayMs = 0; ///< answer only after this long
    };

    TestHttpServer()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection())
                serve(socket);
        });
    }

    QString base() const { return u"http://127.0.0.1:%1"_qs.arg(m_server.serverPort()); }
    quint16 port() const { return m_server.serverPort(); }

    void setReply(const QString& path, Reply reply) { m_replies.insert(path, std::move(reply)); }
    void setBody(const QString& path, const QByteArray& body) { setReply(path, Reply{200, body, {}, false, 0}); }

    /// Request targets ("/path?query") in the order they arrived.
    const QStringList& requests() const { return m_requests; }
    /// Raw header block of each request, in order.
    const QList<QByteArray>& headers() const { return m_headers; }

    void close() { m_server.close(); }

private:
    void serve(QTcpSocket* socket)
    {
        auto buffer = std::make_shared<QByteArray>();
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
            buffer->append(socket->readAll());
            const qsizetype end = buffer->indexOf("\r\n\r\n");
            if (end < 0)
                return;
            const QByteArray head = buffer->left(end);
            buffer->clear();
            const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
            const QString target = requestLine.size() > 1 ? QString::fromLatin1(requestLine.at(1)) : QString();
            m_requests.append(target);
            m_headers.append(head);
            const QString path = target.section(u'?', 0, 0);
            auto it = m_replies.constFind(target);
            if (it == m_replies.constEnd())
                it = m_replies.constFind(path);
            const Reply reply = it == m_replies.constEnd() ? Reply{404, "Not Found", {}, false, 0} : *it;
            if (reply.stall)
                return;
            if (reply.delayMs > 0) {
                const QPointer<QTcpSocket> guard(socket);
                Reply now = reply;
                now.delayMs = 0;
                QTimer::singleShot(reply.delayMs, socket, [guard, now] {
                    if (guard)
                        answer(guard, now);
                });
                return;
            }
            answer(socket, reply);
        });
    }

    static void answer(QTcpSocket* socket, const Reply& reply)
    {
        QByteArray response = "HTTP/1.1 " + QByteArray::number(reply.status) + " X\r\n";
        response += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
        if (!reply.location.isEmpty())
            response += "Location: " + reply.location + "\r\n";
        response += "Connection: close\r\n\r\n";
        response += reply.body;
        socket->write(response);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QString, Reply> m_replies;
    QStringList m_requests;
    QList<QByteArray> m_headers;
};
