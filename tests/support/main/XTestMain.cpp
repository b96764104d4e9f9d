// Entry point of the test binaries that need X: every run gets its own private
// Xvfb, so no test ever touches the display a person is sitting at.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "XvfbServer.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    XvfbServer server;
    if (!server.Ok()) {
        std::fprintf(stderr, "could not start a private Xvfb\n");
        return 1;
    }
    setenv("DISPLAY", server.DisplayName().c_str(), 1);
    int rc = RUN_ALL_TESTS();
    server.Stop();
    return rc;
}
