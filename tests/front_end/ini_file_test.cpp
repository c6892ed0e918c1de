#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "front_end/ini_file.h"
#include "charset/codepage.h"
#include "platform/atomic_file.h"
#include "platform/code_pages.h"
#include "platform/error.h"
#include "charset/unicode.h"
#include "support/temp_dir.h"

namespace tht {
namespace {

namespace fs = std::filesystem;

enum class Stored { Ansi, Utf8, Utf8Marked, Utf16Le, Utf16Be };

// text (UTF-8 here) as a settings file holds it.
std::string stored(std::string_view text, Stored how) {
    const std::u32string chars = fromUtf8(text);
    switch (how) {
    case Stored::Ansi: return windows1252().encode(chars);
    case Stored::Utf8: return std::string(text);
    case Stored::Utf8Marked: return "\xEF\xBB\xBF" + std::string(text);
    case Stored::Utf16Le:
    case Stored::Utf16Be: {
        const bool le = how == Stored::Utf16Le;
        std::string out = le ? "\xFF\xFE" : "\xFE\xFF";
        for (const char32_t c : chars) {  // the letters used here are all in the BMP
            const char low = static_cast<char>(c & 0xFF), high = static_cast<char>(c >> 8);
            out += le ? low : high;
            out += le ? high : low;
        }
        return out;
    }
    }
    return {};
}

std::string withLineEnds(std::string text, std::string_view eol) {
    std::string out;
    for (const char c : text) {
        if (c == '\n') out += eol;
        else out += c;
    }
    return out;
}

TEST(IniFile, KeepsTheFilesEncodingAndLineEnds) {
    const struct {
        std::string before, after;  // "\n" stands for the file's line end
    } texts[] = {
        {"[Otra]\nNombre=Peña Ñandú\n[Transformadores]\nTransformado=0 ; estado: 1 bien\nÚltimo=sí\n",
         "[Otra]\nNombre=Peña Ñandú\n[Transformadores]\nTransformado=1 ; estado: 1 bien\nÚltimo=sí\n"},
        {"[Otra]\nNombre=Peña\n", "[Otra]\nNombre=Peña\n[Transformadores]\nTransformado=1\n"},
        {"[Transformadores]\nAño=2024", "[Transformadores]\nAño=2024\nTransformado=1\n"},
    };
    const std::pair<Stored, const char*> encodings[] = {{Stored::Ansi, "ANSI"},
                                                        {Stored::Utf8, "UTF-8"},
                                                        {Stored::Utf8Marked, "UTF-8 with mark"},
                                                        {Stored::Utf16Le, "UTF-16LE"},
                                                        {Stored::Utf16Be, "UTF-16BE"}};
    for (const auto& [encoding, what] : encodings)
        for (const char* eol : {"\r\n", "\n", "\r"})
            for (const auto& t : texts)
                EXPECT_EQ(updateIniText(stored(withLineEnds(t.before, eol), encoding), "Transformadores", "Transformado", "1"),
                          stored(withLineEnds(t.after, eol), encoding))
                    << what << ", line end " << (eol[0] == '\r' ? (eol[1] ? "CR LF" : "CR") : "LF") << ": " << t.before;
}

TEST(IniFile, AnInlineCommentStaysAfterTheNewValue) {
    const struct {
        std::string before, after;
    } cases[] = {
        {"[Transformadores]\r\nTransformado=0;c\r\n", "[Transformadores]\r\nTransformado=1;c\r\n"},
        {"[Transformadores]\r\nTransformado = -1\t ; c ; d\r\n", "[Transformadores]\r\nTransformado=1\t ; c ; d\r\n"},
        {"[Transformadores]\r\nTransformado= ; vacío\r\n", "[Transformadores]\r\nTransformado=1 ; vacío\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(updateIniText(c.before, "Transformadores", "Transformado", "1"), c.after) << c.before;
}

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

TEST(IniFile, UpdatesTheTargetOfALinkAndKeepsItsMode) {
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links and modes are POSIX here; Windows keeps the attributes (AtomicFile's tests)";
#endif
    test::TempDir dir;
    const auto real = dir.write("real/Horalina.ini", "[Transformadores]\r\nTransformado=0\r\n");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink("real/Horalina.ini", dir / "Horalina.ini");
    writeIniValue(dir / "Horalina.ini", "Transformadores", "Transformado", "1");
    EXPECT_TRUE(fs::is_symlink(dir / "Horalina.ini"));
    EXPECT_EQ(test::readBytes(real), "[Transformadores]\r\nTransformado=1\r\n");
    EXPECT_EQ(fs::status(real).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST(IniFile, AReadOnlyFileIsRefused) {
    test::TempDir dir;
    const auto ini = dir.write("Horalina.ini", "[Transformadores]\r\nTransformado=0\r\n");
    fs::permissions(ini, fs::perms::owner_read);
    try {
        writeIniValue(ini, "Transformadores", "Transformado", "1");
        ADD_FAILURE() << "a read-only settings file was replaced";
    } catch (const Error& e) {
        EXPECT_EQ(e.kindOf<IniError>(), IniError::Unwritable);
        EXPECT_EQ(e.context().file, ini.string());
        EXPECT_EQ(e.context().cause, describeSystemError(EACCES));
    }
    EXPECT_EQ(test::readBytes(ini), "[Transformadores]\r\nTransformado=0\r\n");
    fs::permissions(ini, fs::perms::owner_write, fs::perm_options::add);  // so the folder can go
}

}  // namespace
}  // namespace tht
