// QtTcpConnection against a QTcpServer on loopback: the events in their order, the bytes both ways.
#include "platform/qt/QtSockets.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

struct Loopback {
    QTcpServer server;
    QTcpSocket* peer = nullptr;
    hg::QtSocketFactory factory;
    std::unique_ptr<hg::TcpConnection> connection = factory.createConnection();
    QStringList events;

    Loopback() {
        EXPECT_TRUE(server.listen(QHostAddress::LocalHost));
        QObject::connect(connection.get(), &hg::TcpConnection::connected,
                         [this] { events << "connected"; });
        QObject::connect(connection.get(), &hg::TcpConnection::closedByPeer,
                         [this] { events << "closedByPeer"; });
        QObject::connect(connection.get(), &hg::TcpConnection::failed,
                         [this](const QString& text) { events << "failed " + text; });
        QObject::connect(connection.get(), &hg::TcpConnection::sendComplete,
                         [this] { events << "sendComplete"; });
    }
    bool open() {
        connection->connectTo("127.0.0.1", server.serverPort());
        if (!server.waitForNewConnection(5000))
            return false;
        peer = server.nextPendingConnection();
        return QTest::qWaitFor([this] { return events.contains("connected"); });
    }
};

TEST(QtSockets, SendsWithProgressReceivesAndSeesThePeerClose) {
    Loopback net;
    ASSERT_TRUE(net.open());

    QList<std::pair<qint64, qint64>> progress;
    QObject::connect(net.connection.get(), &hg::TcpConnection::sendProgress,
                     [&](qint64 sent, qint64 remaining) {
                         progress.append({sent, remaining});
                     });
    QByteArray big(3 * 1024 * 1024, 'x');
    big[0] = '\xC6';
    net.connection->send(big);
    net.connection->send("END");
    QByteArray atPeer;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        atPeer += net.peer->readAll();
        return atPeer.size() == big.size() + 3;
    }));
    EXPECT_EQ(atPeer, big + "END");
    ASSERT_TRUE(QTest::qWaitFor([&] { return net.events.contains("sendComplete"); }));
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.last(), std::make_pair(qint64(big.size() + 3), qint64(0)));
    for (const auto& [sent, remaining] : progress)
        EXPECT_EQ(sent + remaining, big.size() + 3) << "all was handed over before the first write";

    QSignalSpy arrived(net.connection.get(), &hg::TcpConnection::dataArrived);
    net.peer->write("GET\xC6reply\r");
    net.peer->flush();
    ASSERT_TRUE(arrived.wait(5000));
    QByteArray received = net.connection->takeReceived();
    EXPECT_TRUE(net.connection->takeReceived().isEmpty()) << "taken once";

    // What the peer sends just before closing is still there after the close.
    net.peer->write("tail");
    net.peer->disconnectFromHost();
    ASSERT_TRUE(QTest::qWaitFor([&] { return net.events.contains("closedByPeer"); }));
    received += net.connection->takeReceived();
    EXPECT_EQ(received, "GET\xC6reply\rtail");
    EXPECT_EQ(net.events, (QStringList{"connected", "sendComplete", "closedByPeer"}));
}

TEST(QtSockets, OwnCloseIsQuietAndErrorsCarryADescription) {
    Loopback net;
    ASSERT_TRUE(net.open());
    QSignalSpy peerGone(net.peer, &QTcpSocket::disconnected);
    net.connection->close();
    ASSERT_TRUE(peerGone.wait(5000));
    QCoreApplication::processEvents();
    EXPECT_EQ(net.events, QStringList{"connected"});

    net.connection->send("late");
    ASSERT_TRUE(QTest::qWaitFor([&] { return net.events.size() == 2; }));
    EXPECT_EQ(net.events.last(), "failed The connection is not open.");

    // Nobody listens on the port any more.
    const quint16 port = net.server.serverPort();
    net.server.close();
    net.events.clear();
    net.connection->connectTo("127.0.0.1", port);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !net.events.isEmpty(); }));
    ASSERT_EQ(net.events.size(), 1);
    EXPECT_TRUE(net.events[0].startsWith("failed ")) << net.events[0].toStdString();
    EXPECT_GT(net.events[0].size(), 8);
}

}  // namespace
