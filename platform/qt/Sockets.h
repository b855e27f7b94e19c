// Sockets: an event-driven TCP client connection on the user-interface thread.
#pragma once

#include <memory>

#include <QByteArray>
#include <QObject>
#include <QString>

namespace hg {

class TcpConnection : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~TcpConnection() override = default;

    virtual void connectTo(const QString& host, quint16 port) = 0;
    virtual void send(const QByteArray& bytes) = 0;
    // Everything received and not yet taken.
    virtual QByteArray takeReceived() = 0;
    virtual void close() = 0;

signals:
    void connected();
    void dataArrived(qint64 bytesAvailable);
    void closedByPeer();
    void failed(const QString& description);
    void sendProgress(qint64 bytesSent, qint64 bytesRemaining);
    void sendComplete();
};

class SocketFactory {
public:
    virtual ~SocketFactory() = default;
    virtual std::unique_ptr<TcpConnection> createConnection() = 0;
};

}  // namespace hg
