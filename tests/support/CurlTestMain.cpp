// GoogleTest main for test programs that post.
#include "tests/support/CurlSetup.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    PrepareCurl();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
