#pragma once

#include "core/registry.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

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

// Starts this test program again as a child process that plays `role` (see
// the child roles in registry_test.cpp) instead of running the tests: the
// variables in `env` are added to the environment, and the child's standard
// output goes to `outputFd` when one is given. Fork and exec, so the child
// shares no SQLite state with the parent. Gives the pid, or -1.
inline pid_t SpawnChild(const std::string& role, const std::vector<std::string>& env, int outputFd = -1)
{
    std::vector<std::string> variables;
    for (char** e = environ; *e; ++e)
        variables.emplace_back(*e);
    variables.push_back("ORBITA_TEST_CHILD=" + role);
    variables.insert(variables.end(), env.begin(), env.end());
    std::vector<char*> envp;
    for (auto& v : variables)
        envp.push_back(v.data());
    envp.push_back(nullptr);
    char self[] = "/proc/self/exe";
    char* argv[] = { self, nullptr };
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (outputFd >= 0)
            ::dup2(outputFd, STDOUT_FILENO);
        ::execve(self, argv, envp.data());
        ::_exit(127);
    }
    return pid;
}

// Waits for a child; its exit code, or -1 when it did not exit normally.
inline int WaitChild(pid_t pid)
{
    int status = 0;
    if (pid <= 0 || ::waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace orbita::test
