#pragma once

// A small HTTP/1.1 server on 127.0.0.1 for tests: canned replies by path, and a record of the requests.

#include <QHash>
#include <QHostAddress>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include <cerrno>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

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

    ~TestHttpServer()
    {
        m_stopping = true;
        for (std::thread& writer : m_writers)
            writer.join();
    }
    Q_DISABLE_COPY_MOVE(TestHttpServer)

    QString base() const { return u"http://127.0.0.1:%1"_s.arg(m_server.serverPort()); }
    quint16 port() const { return m_server.serverPort(); }

    void setReply(const QString& path, Reply reply) { m_replies.insert(path, std::move(reply)); }
    void setBody(const QString& path, const QByteArray& body) { setReply(path, Reply { 200, body, {}, false, 0 }); }
    /// A hostile answer: @p bytes sent exactly as given (status line, headers and all), then, when given,
    /// @p endless sent over and over, as fast as the client takes it or once every @p pause, until it hangs up
    /// (20 s or 2 GiB at most).
    void setRawReply(const QString& path, const QByteArray& bytes, const QByteArray& endless = {},
        std::chrono::milliseconds pause = {})
    {
        m_rawReplies.insert(path, RawReply { bytes, endless, pause });
    }

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
            // A TLS handshake or other bytes that open no request line: what a plain server says to them.
            if (!buffer->isEmpty() && (buffer->front() < 'A' || buffer->front() > 'Z')) {
                buffer->clear();
                socket->write("HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
                socket->disconnectFromHost();
                return;
            }
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
            if (const auto raw = m_rawReplies.constFind(path); raw != m_rawReplies.constEnd()) {
                answerRaw(socket, *raw);
                return;
            }
            auto it = m_replies.constFind(target);
            if (it == m_replies.constEnd())
                it = m_replies.constFind(path);
            const Reply reply = it == m_replies.constEnd() ? Reply { 404, "Not Found", {}, false, 0 } : *it;
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

    struct RawReply
    {
        QByteArray bytes;
        QByteArray endless;
        std::chrono::milliseconds pause {};
    };

    // The endless part comes from a thread of its own, as fast as the kernel takes it, so that the client's
    // event loop cannot slow the server down; bounded in bytes and time so that it always ends.
    void answerRaw(QTcpSocket* socket, const RawReply& reply)
    {
        socket->write(reply.bytes);
        socket->flush();
        if (reply.endless.isEmpty()) {
            socket->disconnectFromHost();
            return;
        }
        const int fd = ::dup(static_cast<int>(socket->socketDescriptor()));
        m_writers.emplace_back([this, fd, piece = reply.endless, pause = reply.pause] {
            const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            qint64 sent = 0;
            while (!m_stopping && sent < (qint64(1) << 31) && std::chrono::steady_clock::now() < end) {
                // The descriptor shares the socket's non-blocking mode: wait for room a little at a time.
                pollfd room { fd, POLLOUT, 0 };
                if (::poll(&room, 1, 100) <= 0)
                    continue;
                const ssize_t n = ::send(fd, piece.constData(), static_cast<size_t>(piece.size()), MSG_NOSIGNAL);
                if (n < 0 && errno != EAGAIN)
                    break;
                sent += std::max<ssize_t>(n, 0);
                std::this_thread::sleep_for(pause);
            }
            ::close(fd);
        });
    }

    QTcpServer m_server;
    std::atomic<bool> m_stopping = false;
    std::vector<std::thread> m_writers;
    QHash<QString, RawReply> m_rawReplies;
    QHash<QString, Reply> m_replies;
    QStringList m_requests;
    QList<QByteArray> m_headers;
};
