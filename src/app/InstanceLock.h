#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

// One copy of the program at a time. The first copy answers on a local socket named
// "_Quave_Lorin_00000000000000" in the user's runtime folder; a later copy connects, asks it to
// come to the front and gives way. A socket left behind by a copy that crashed answers no one,
// so it is removed and taken over: it never blocks the next start.
class CInstanceLock : public QObject {
    Q_OBJECT
public:
    static const char* const kName;

    explicit CInstanceLock(QObject* parent = nullptr);

    // True when no other copy runs; this one now answers. False once the running copy has
    // been asked to come to the front. A socket that cannot be made costs only the answering:
    // the start goes on.
    bool Acquire();
    // Stops answering; a later copy can start. Safe to call more than once.
    void Release();
    bool IsHeld() const { return m_server.isListening(); }

    // Where the socket lives.
    static QString ServerName();

signals:
    // Another copy started and asked for this one's window.
    void RaiseRequested();

private:
    void OnConnection();

    QLocalServer m_server;
};
