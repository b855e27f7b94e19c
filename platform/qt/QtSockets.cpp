#include "platform/qt/QtSockets.h"

#include <QMetaObject>

namespace hg {

QtTcpConnection::QtTcpConnection(QObject* parent) : TcpConnection(parent), socket_(this) {
    connect(&socket_, &QTcpSocket::connected, this, &TcpConnection::connected);
    connect(&socket_, &QTcpSocket::readyRead, this, &QtTcpConnection::onReadyRead);
    connect(&socket_, &QTcpSocket::bytesWritten, this, &QtTcpConnection::onBytesWritten);
    connect(&socket_, &QTcpSocket::disconnected, this, &QtTcpConnection::onDisconnected);
    connect(&socket_, &QTcpSocket::errorOccurred, this, &QtTcpConnection::onError);
}

void QtTcpConnection::connectTo(const QString& host, quint16 port) {
    socket_.abort();
    received_.clear();
    sent_ = 0;
    closing_ = false;
    socket_.connectToHost(host, port);
}

void QtTcpConnection::send(const QByteArray& bytes) {
    if (socket_.state() != QAbstractSocket::ConnectedState ||
        socket_.write(bytes) != bytes.size()) {
        // Reported as an event of its own, after the handler that sent has run to its end.
        const QString description = socket_.state() == QAbstractSocket::ConnectedState
                                        ? socket_.errorString()
                                        : QStringLiteral("The connection is not open.");
        QMetaObject::invokeMethod(
            this, [this, description] { emit failed(description); }, Qt::QueuedConnection);
    }
}

QByteArray QtTcpConnection::takeReceived() {
    received_ += socket_.readAll();
    QByteArray taken;
    taken.swap(received_);
    return taken;
}

void QtTcpConnection::close() {
    closing_ = true;
    socket_.disconnectFromHost();
}

void QtTcpConnection::onReadyRead() {
    received_ += socket_.readAll();
    if (!received_.isEmpty())
        emit dataArrived(received_.size());
}

void QtTcpConnection::onBytesWritten(qint64 bytes) {
    sent_ += bytes;
    const qint64 remaining = socket_.bytesToWrite();
    emit sendProgress(sent_, remaining);
    if (remaining == 0)
        emit sendComplete();
}

void QtTcpConnection::onDisconnected() {
    if (!closing_)
        emit closedByPeer();
}

void QtTcpConnection::onError(QAbstractSocket::SocketError error) {
    // The peer's close arrives as disconnected; our own close is no error.
    if (error == QAbstractSocket::RemoteHostClosedError || closing_)
        return;
    emit failed(socket_.errorString());
}

std::unique_ptr<TcpConnection> QtSocketFactory::createConnection() {
    return std::make_unique<QtTcpConnection>();
}

}  // namespace hg
