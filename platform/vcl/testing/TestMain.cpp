// The main of the toolkit's GoogleTest programs: the Qt application on the offscreen platform
// (unless the environment chose another), then the tests.

#include <vcl/Application.h>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    vcl::Application->Initialize(argc, argv);
    int rc = RUN_ALL_TESTS();
    vcl::Application->ShutdownForTesting();
    return rc;
}
