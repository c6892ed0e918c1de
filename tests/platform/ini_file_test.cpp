#include <gtest/gtest.h>

#include "core/ini_file.h"
#include "support/temp_dir.h"

namespace tht {
namespace {

TEST(IniFile, SetsOneKeyAndKeepsTheRest) {
    const struct {
        std::string before, after;
    } cases[] = {
        {"", "[Transformadores]\r\nTransformado=1\r\n"},
        {"[Otra]\r\nClave=x\r\n", "[Otra]\r\nClave=x\r\n[Transformadores]\r\nTransformado=1\r\n"},
        {"[Otra]\nClave=x", "[Otra]\nClave=x\n[Transformadores]\nTransformado=1\n"},
        {"[transformadores]\r\ntransformado=-1\r\nOtro=2\r\n", "[transformadores]\r\nTransformado=1\r\nOtro=2\r\n"},
        {"[Transformadores]\r\nOtro=2\r\n\r\n[B]\r\nTransformado=7\r\n",
         "[Transformadores]\r\nOtro=2\r\nTransformado=1\r\n\r\n[B]\r\nTransformado=7\r\n"},
        {"; comentario\r\n[Transformadores]\r\n  Transformado = 0\r\n", "; comentario\r\n[Transformadores]\r\nTransformado=1\r\n"},
        {"[Transformadores]\r\nTransformado=0", "[Transformadores]\r\nTransformado=1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(updateIniText(c.before, "Transformadores", "Transformado", "1"), c.after) << c.before;
}

TEST(IniFile, WritesTheFile) {
    test::TempDir dir;
    const auto ini = dir / "Horalina.ini";
    writeIniValue(ini, "Transformadores", "Transformado", "-1");
    EXPECT_EQ(test::readBytes(ini), "[Transformadores]\r\nTransformado=-1\r\n");
    writeIniValue(ini, "Transformadores", "Transformado", "0");
    EXPECT_EQ(test::readBytes(ini), "[Transformadores]\r\nTransformado=0\r\n");
}

}  // namespace
}  // namespace tht
