#pragma once

#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <string>

namespace orbita::test {

// Sets environment variables for the life of the object and puts the old
// values back afterwards.
class ScopedEnvironment final {
public:
    ScopedEnvironment() = default;
    ~ScopedEnvironment()
    {
        for (const auto& [name, old] : m_saved) {
            if (old)
                qputenv(name.c_str(), *old);
            else
                qunsetenv(name.c_str());
        }
    }
    Q_DISABLE_COPY_MOVE(ScopedEnvironment)

    void set(const char* name, const QString& value)
    {
        save(name);
        qputenv(name, value.toLocal8Bit());
    }
    void unset(const char* name)
    {
        save(name);
        qunsetenv(name);
    }

private:
    void save(const char* name)
    {
        if (m_saved.count(name))
            return;
        m_saved[name]
            = qEnvironmentVariableIsSet(name) ? std::optional<QByteArray>(qgetenv(name)) : std::nullopt;
    }

    std::map<std::string, std::optional<QByteArray>> m_saved;
};

// A fresh world for each test: its own configuration store, home, data,
// configuration and runtime folders, all inside one temporary folder.
class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_root.isValid());
        for (const char* folder : { "config", "home", "data", "xdgconfig", "run" })
            ASSERT_TRUE(QDir(m_root.path()).mkpath(QString::fromLatin1(folder)));
        QFile::setPermissions(path("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_env.set("ORBITA_CONFIG_DIR", path("config"));
        m_env.set("HOME", path("home"));
        m_env.set("XDG_DATA_HOME", path("data"));
        m_env.set("XDG_CONFIG_HOME", path("xdgconfig"));
        m_env.set("XDG_RUNTIME_DIR", path("run"));
        m_env.unset("ORBITA_PROGRAM_DIR");
    }

    QString path(const QString& relative) const { return m_root.filePath(relative); }
    QString path(const char* relative) const { return m_root.filePath(QString::fromUtf8(relative)); }
    std::string stdPath(const char* relative) const { return path(relative).toStdString(); }

    QTemporaryDir m_root;
    ScopedEnvironment m_env;
};

} // namespace orbita::test
