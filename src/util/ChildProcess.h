#pragma once
// Shell commands run in short-lived child processes, so that the user interface never
// waits for a sound or for a browser to start.
//
// Reaping: the children started here are remembered by pid and collected with a
// non-blocking waitpid on exactly those pids, before every new start (and whenever
// ReapFinishedChildren is called). Finished children therefore never pile up as
// zombies. SIGCHLD keeps its default handling and no other process's children are
// touched, so system() in the parent and any other child the program waits for keep
// their exit statuses.
#include <cstddef>
#include <string>
#include <sys/types.h>

// Forks; the child runs the command through the shell, ignores its result and ends
// with _exit(0), so it runs none of the parent's exit handlers and flushes none of
// its buffers. The parent returns at once with the child's pid. When fork fails the
// command runs here, synchronously, and the result is 0.
pid_t RunInChild(const std::string& command);

// Collects every child started by RunInChild that has ended; never blocks.
void ReapFinishedChildren();

// How many children started by RunInChild have not been collected yet.
std::size_t PendingChildren();
