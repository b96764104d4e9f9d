#pragma once
// A private Xvfb for tests: started with -displayfd so that it picks a free display
// number itself, never listening on TCP, and stopped by the destructor.
#include <string>
#include <sys/types.h>

class XvfbServer {
public:
    struct Options {
        int width = 1280;
        int height = 1024;
        int depth = 24;
        bool builtinFontsOnly = false;  // -fp built-ins: only the server's own fonts
        int visualClass = -1;           // -cc: the default visual's class (5 DirectColor)
    };

    XvfbServer();
    explicit XvfbServer(const Options& options);
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool Ok() const { return pid_ > 0 && !display_.empty(); }
    // ":N", usable as DISPLAY.
    const std::string& DisplayName() const { return display_; }
    pid_t Pid() const { return pid_; }
    // Stops the server at once (SIGKILL) and reaps it.
    void Kill();
    void Stop();

private:
    void Start(const Options& options);
    pid_t pid_ = -1;
    std::string display_;
};

// Points DISPLAY at the server for the lifetime of the object and restores it after.
class ScopedDisplayEnv {
public:
    explicit ScopedDisplayEnv(const std::string& display);
    ~ScopedDisplayEnv();

private:
    std::string old_;
    bool hadOld_ = false;
};
