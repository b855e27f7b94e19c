// QtSockets: TcpConnection over QTcpSocket, and the factory the programs get them from.
#pragma once

#include <QTcpSocket>

#include "platform/qt/Sockets.h"

namespace hg {

class QtTcpConnection : public TcpConnection {
    Q_OBJECT
public:
    explicit QtTcpConnection(QObject* parent = nullptr);

    void connectTo(const QString& host, quint16 port) override;
    // Queued behind what was sent before; fails (the failed event) when not connected.
    void send(const QByteArray& bytes) override;
    QByteArray takeReceived() override;
    // Hands what is still queued to the system, then closes; closedByPeer does not follow.
    void close() override;

private:
    void onReadyRead();
    void onBytesWritten(qint64 bytes);
    void onDisconnected();
    void onError(QAbstractSocket::SocketError error);

    QTcpSocket socket_;
    QByteArray received_;
    qint64 sent_ = 0;
    bool closing_ = false;
};

class QtSocketFactory : public SocketFactory {
public:
    std::unique_ptr<TcpConnection> createConnection() override;
};

}  // namespace hg
