#pragma once
// Runs a program the way a person would start it from a shell: in a working
// directory of its own (a fresh TempDir unless the test names one), with the test's
// environment plus or minus some variables, stdin from /dev/null, and standard
// output and standard error captured. The destructor kills and reaps a program that
// is still running, so a failing test never leaves one behind.
//
//   ProgramRunner run(QUORREL_PROGRAM);
//   run.CopyDir(QUORREL_DATA_DIR, "Data");
//   run.UnsetEnv("DISPLAY");
//   ASSERT_TRUE(run.Start());
//   ProgramRunner::Outcome s = run.Wait(std::chrono::seconds(10));
//   EXPECT_EQ(s.exitCode, 1);
//   EXPECT_EQ(run.Log(), "...");
#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

#include "TempDir.h"

class ProgramRunner {
public:
    struct Outcome {
        bool exited = false;  // ended through exit(); exitCode is valid
        int exitCode = -1;
        bool signaled = false;  // ended by a signal; signal is valid
        int signal = 0;
        bool timedOut = false;  // still running when Wait gave up
    };

    explicit ProgramRunner(std::string program, std::vector<std::string> args = {});
    ~ProgramRunner();
    ProgramRunner(const ProgramRunner&) = delete;
    ProgramRunner& operator=(const ProgramRunner&) = delete;

    // Before Start: run in `dir` instead of the runner's own temporary directory.
    void SetWorkDir(const std::string& dir) { workDir_ = dir; }
    void SetEnv(const std::string& name, const std::string& value);
    void UnsetEnv(const std::string& name);

    // The working directory the program runs (or will run) in.
    const std::string& WorkDir() const { return workDir_; }
    // The whole file at `relative` inside the working directory, or "".
    std::string ReadFile(const std::string& relative) const;
    // The program's log.txt, or "" when there is none.
    std::string Log() const;
    bool FileExists(const std::string& relative) const;
    // Writes a file into the working directory before (or while) the program runs.
    bool WriteFile(const std::string& relative, const std::string& contents) const;
    // Copies the folder `source` with everything in it to `relative` inside the
    // working directory (e.g. the built Data/ folder to "Data").
    bool CopyDir(const std::string& source, const std::string& relative) const;

    // Forks and execs; false when the program could not be started at all.
    bool Start();
    pid_t Pid() const { return pid_; }
    bool Running();

    // Waits for the program to end, collecting its output meanwhile.
    Outcome Wait(std::chrono::milliseconds timeout);
    // Waits until standard output contains `text`; false on timeout or exit.
    bool WaitForOutput(const std::string& text, std::chrono::milliseconds timeout);
    // Waits until the program, and each of `others` (its X server, a window manager),
    // sleeps with nothing left to do: asleep (not running, not waiting for the disk) at
    // two looks 20 ms apart with no context switch between, so it has handled all it
    // was given. False on timeout or when the program is not running.
    bool WaitForIdle(std::chrono::milliseconds timeout = std::chrono::seconds(60),
                     const std::vector<pid_t>& others = {});
    // Sends `signal`; with SIGKILL (the default) also reaps the program.
    void Kill(int signal = 9);

    // Everything captured so far.
    const std::string& Stdout();
    const std::string& Stderr();

private:
    void Drain(int timeoutMs);
    void CloseFds();
    bool Reap(bool block);

    std::string program_;
    std::vector<std::string> args_;
    std::map<std::string, std::string> setEnv_;
    std::vector<std::string> unsetEnv_;
    std::unique_ptr<TempDir> ownDir_;
    std::string workDir_;
    pid_t pid_ = -1;
    Outcome status_;
    int outFd_ = -1;
    int errFd_ = -1;
    std::string out_;
    std::string err_;
};

// A numeric field of /proc/<pid>/status ("voluntary_ctxt_switches"), or -1.
long ProcStatusField(pid_t pid, const std::string& field);
