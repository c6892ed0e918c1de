#include <gtest/gtest.h>

#include <cstring>

#include "platform/error.h"

namespace tht {
namespace {

TEST(SystemErrors, NoEnglishTextReachesTheUser) {
    for (int e = 1; e < 134; ++e) {
        const std::string text = describeSystemError(e);
        EXPECT_NE(text, std::strerror(e)) << e;
        EXPECT_FALSE(text.empty()) << e;
    }
    EXPECT_EQ(describeSystemError(ENAMETOOLONG), "la ruta o el nombre es demasiado largo");
    EXPECT_EQ(describeSystemError(9999), "error del sistema 9999");
}

}  // namespace
}  // namespace tht
