#pragma once
#include "engine/transfer.h"

// A download the test drives: it starts, holds and ends when told, and writes nothing.
class FakeTransfer : public Transfer
{
public:
    FakeTransfer(const QUrl &url, const QString &proposed, QObject *parent = nullptr)
        : Transfer(parent), m_url(url), m_proposed(proposed)
    {
    }

    QUrl url() const override { return m_url; }
    QString proposedName() const override { return plainName(m_proposed); }
    State state() const override { return m_state; }
    qint64 received() const override { return m_received; }
    qint64 total() const override { return m_total; }
    QString path() const override { return m_path; }
    QString displacedFrom() const override { return QString(); }
    QString partPath() const override { return m_path.isEmpty() ? QString() : m_path + QStringLiteral(".part"); }
    Failure failure() const override { return m_failure; }
    bool resumable() const override { return m_state == State::Failed && m_failure == Failure::ConnectionBroke; }
    void resume() override
    {
        if (resumable())
            end(State::Running, Failure::None);
    }
    void start(const QString &path) override
    {
        if (m_state != State::Asking)
            return;
        m_path = path;
        m_state = State::Running;
        emit progressed();
    }
    void cancel() override
    {
        if (m_state == State::Asking || m_state == State::Running || resumable())
            end(State::Cancelled, Failure::None);
    }
    void setHeld(bool held) override { m_held = held; }
    bool held() const override { return m_held; }
    void withdraw() override { cancel(); }

    // The test's part: bytes arrive, and the transfer ends.
    void receive(qint64 bytes, qint64 total)
    {
        m_received = bytes;
        m_total = total;
        emit progressed();
    }
    void end(State state, Failure failure)
    {
        m_state = state;
        m_failure = failure;
        if (state == State::Running)
            emit progressed();
        else
            emit finished();
    }

private:
    QUrl m_url;
    QString m_proposed;
    QString m_path;
    State m_state = State::Asking;
    Failure m_failure = Failure::None;
    qint64 m_received = 0;
    qint64 m_total = -1;
    bool m_held = false;
};

// The downloads of a fake engine: the test announces them.
class FakeDownloads : public DownloadSource
{
public:
    FakeTransfer *announce(const QUrl &url, const QString &proposed)
    {
        auto *transfer = new FakeTransfer(url, proposed, this);
        emit requested(transfer);
        return transfer;
    }
};
