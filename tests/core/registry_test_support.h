#pragma once

#include "core/registry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace orbita::test {

// Points the store at a fresh temporary folder for one test and removes it
// afterwards.
class TempRegistry : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/orbita-registry-test-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_root = pattern;
        m_folder = m_root + "/config";
        ::setenv("ORBITA_CONFIG_DIR", m_folder.c_str(), 1);
    }
    void TearDown() override
    {
        ReleaseRegistryConnection();
        ::unsetenv("ORBITA_CONFIG_DIR");
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }

    const std::string& folder() const { return m_folder; }
    const std::string& root() const { return m_root; }
    std::string dbPath() const { return m_folder + "/registry.db"; }

private:
    std::string m_root;
    std::string m_folder;
};

// Runs `body` in a forked child and gives its exit code (-1 when it did not
// exit normally). The child ends with _exit, so nothing of the parent's test
// state runs twice.
inline int RunInChild(const std::function<int()>& body)
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace orbita::test
