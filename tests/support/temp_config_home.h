#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

namespace brindle::test {

// Points XDG_CONFIG_HOME at a fresh temporary directory for the lifetime of
// the object, so that neither the settings file nor keyword files of the
// user running the tests are read or written.
class TempConfigHome {
public:
    TempConfigHome()
        : m_previous(qgetenv("XDG_CONFIG_HOME")),
          m_wasSet(qEnvironmentVariableIsSet("XDG_CONFIG_HOME")) {
        qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
    }
    ~TempConfigHome() {
        if (m_wasSet)
            qputenv("XDG_CONFIG_HOME", m_previous);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }
    TempConfigHome(const TempConfigHome&) = delete;
    TempConfigHome& operator=(const TempConfigHome&) = delete;

    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
    bool m_wasSet;
};

} // namespace brindle::test
