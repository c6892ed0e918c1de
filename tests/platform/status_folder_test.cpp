// Where the window that Horalina starts keeps "Horalina.ini": beside a program
// that is not installed, in the user's state folder when it is.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

#include "platform/error.h"
#include "platform/locations.h"
#include "support/temp_dir.h"

namespace tht {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32

TEST(StatusFolder, AlwaysBesideTheProgramOnWindows) {
    test::TempDir dir;
    for (const char* folder : {"build", "bin", "Program Files\\transHoraloTuxa"}) {
        fs::create_directories(dir / folder);
        EXPECT_EQ(statusFolder(dir / folder), dir / folder) << folder;
    }
}

#else

// Sets or clears environment variables for one case, and puts back what was there.
class Environment {
public:
    Environment() = default;
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;
    ~Environment() {
        for (const auto& [name, value] : saved_) apply(name, value);
    }
    void set(const std::string& name, const std::optional<std::string>& value) {
        if (!saved_.contains(name)) {
            const char* old = std::getenv(name.c_str());
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        apply(name, value);
    }

private:
    static void apply(const std::string& name, const std::optional<std::string>& value) {
        if (value)
            ::setenv(name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name.c_str());
    }
    std::map<std::string, std::optional<std::string>> saved_;
};

// "@" at the start of a path stands for the case's temporary folder.
std::optional<std::string> under(const test::TempDir& dir, const std::optional<std::string>& text) {
    if (!text || !text->starts_with('@')) return text;
    return dir.path().string() + text->substr(1);
}

unsigned modeOf(const fs::path& p) {
    struct stat info{};
    return ::stat(p.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

bool runningAsRoot() { return ::geteuid() == 0; }

// A relative XDG_STATE_HOME must name nothing under the folder the program was started in.
constexpr const char* kRelativeStateHome = "relative-state-home-of-a-status-folder-test";

struct Case {
    const char* name;
    const char* programFolder;             // under the temporary folder, made writable
    std::optional<std::string> stateHome;  // XDG_STATE_HOME
    std::optional<std::string> home;       // HOME
    const char* expected;                  // "beside", or the folder under the temporary folder
};

TEST(StatusFolder, BesideAProgramThatIsNotInstalledElseInTheUsersStateFolder) {
    const Case cases[] = {
        {"a build tree", "build/src/app", "@/state", "@/home", "beside"},
        {"an unpacked zip needs no HOME", "transhoralotuxa-1.0.0", std::nullopt, std::nullopt, "beside"},
        {"a folder called binario", "binario", "@/state", "@/home", "beside"},
        {"/usr/bin", "usr/bin", "@/state", "@/home", "state/transhoralotuxa"},
        {"~/bin written with a final separator", "home/bin/", "@/state", "@/home", "state/transhoralotuxa"},
        {"XDG_STATE_HOME unset", "usr/local/bin", std::nullopt, "@/home", "home/.local/state/transhoralotuxa"},
        {"XDG_STATE_HOME empty", "usr/bin", "", "@/home", "home/.local/state/transhoralotuxa"},
        {"XDG_STATE_HOME relative", "usr/bin", kRelativeStateHome, "@/home", "home/.local/state/transhoralotuxa"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        const fs::path program = dir.path() / c.programFolder;
        fs::create_directories(program);
        Environment environment;
        environment.set("XDG_STATE_HOME", under(dir, c.stateHome));
        environment.set("HOME", under(dir, c.home));

        const fs::path folder = statusFolder(program);

        if (std::string(c.expected) == "beside") {
            EXPECT_EQ(folder, program);
            // Nothing is made for a program that keeps the file beside it.
            EXPECT_FALSE(fs::exists(dir / "state"));
            EXPECT_FALSE(fs::exists(dir / "home"));
            continue;
        }
        EXPECT_EQ(folder, dir / c.expected);
        EXPECT_TRUE(fs::is_directory(folder));
        // Made for its user only, and so is the state home that was missing.
        EXPECT_EQ(modeOf(folder), 0700u);
        EXPECT_EQ(modeOf(folder.parent_path()), 0700u);
        EXPECT_FALSE(fs::exists(kRelativeStateHome));
    }
}

TEST(StatusFolder, AnExistingStateFolderIsUsedAsItIs) {
    test::TempDir dir;
    fs::create_directories(dir / "bin");
    const fs::path ini = dir.write("state/transhoralotuxa/Horalina.ini", "[Transformadores]\r\nTransformado=1\r\n");
    ::chmod((dir / "state/transhoralotuxa").c_str(), 0750);
    Environment environment;
    environment.set("XDG_STATE_HOME", (dir / "state").string());

    EXPECT_EQ(statusFolder(dir / "bin"), dir / "state/transhoralotuxa");
    EXPECT_EQ(modeOf(dir / "state/transhoralotuxa"), 0750u);
    EXPECT_EQ(test::readBytes(ini), "[Transformadores]\r\nTransformado=1\r\n");
}

TEST(StatusFolder, AFolderItsUserCannotWriteIsAnInstalledProgram) {
    if (runningAsRoot()) GTEST_SKIP() << "root writes into any folder, so no folder is closed to it";
    test::TempDir dir;
    const fs::path program = dir / "opt/transhoralotuxa";
    fs::create_directories(program);
    ::chmod(program.c_str(), 0555);
    Environment environment;
    environment.set("XDG_STATE_HOME", (dir / "state").string());

    EXPECT_EQ(statusFolder(program), dir / "state/transhoralotuxa");
    ::chmod(program.c_str(), 0755);  // so that the temporary folder can go
}

// The folder named in the error, and the cause.
struct Refusal {
    FileError kind;
    std::string folder;
    std::string cause;
};

Refusal refusalOf(const fs::path& program) {
    try {
        const fs::path folder = statusFolder(program);
        ADD_FAILURE() << "no error; the folder was " << folder;
    } catch (const Error& e) {
        EXPECT_TRUE(e.kindOf<FileError>().has_value()) << e.what();
        return {e.kindOf<FileError>().value_or(FileError::Unreadable), e.context().file, e.context().cause};
    }
    return {};
}

TEST(StatusFolder, NeverBesideAnInstalledProgramWhenTheStateFolderIsUnknown) {
    const std::optional<std::string> unknown[][2] = {
        {std::nullopt, std::nullopt},
        {"", ""},
        {"state", "home/ana"},  // relative: under wherever the window was started
    };
    for (const auto& [stateHome, home] : unknown) {
        SCOPED_TRACE(stateHome.value_or("unset") + ", " + home.value_or("unset"));
        test::TempDir dir;
        fs::create_directories(dir / "bin");
        Environment environment;
        environment.set("XDG_STATE_HOME", stateHome);
        environment.set("HOME", home);
        EXPECT_EQ(refusalOf(dir / "bin").kind, FileError::StateFolderUnknown);
        EXPECT_TRUE(fs::is_empty(dir / "bin"));
    }
    // The message says which folder it would have been, and why it is not known.
    const std::string text = Error(FileError::StateFolderUnknown, {}).what();
    EXPECT_NE(text.find("$HOME/.local/state/transhoralotuxa"), std::string::npos) << text;
    EXPECT_NE(text.find("Horalina.ini"), std::string::npos) << text;
}

TEST(StatusFolder, AStateFolderThatCannotBeMadeIsAnErrorNamingIt) {
    test::TempDir dir;
    fs::create_directories(dir / "bin");
    dir.write("a file/x", "");
    Environment environment;
    // A file where a folder of the path should be.
    environment.set("XDG_STATE_HOME", (dir / "a file/x/state").string());
    const Refusal refusal = refusalOf(dir / "bin");
    EXPECT_EQ(refusal.kind, FileError::StateFolderUncreatable);
    EXPECT_EQ(refusal.folder, (dir / "a file/x/state/transhoralotuxa").string());
    EXPECT_EQ(refusal.cause, describeSystemError(ENOTDIR));
    EXPECT_EQ(std::string(Error(FileError::StateFolderUncreatable, {.file = refusal.folder, .cause = refusal.cause}).what()),
              "No se puede crear la carpeta " + refusal.folder + ", donde se deja Horalina.ini: " + refusal.cause);
    EXPECT_TRUE(fs::is_empty(dir / "bin"));
}

TEST(StatusFolder, AStateHomeItsUserCannotWriteIsAnError) {
    if (runningAsRoot()) GTEST_SKIP() << "root writes into any folder, so no folder is closed to it";
    test::TempDir dir;
    fs::create_directories(dir / "bin");
    fs::create_directories(dir / "state");
    ::chmod((dir / "state").c_str(), 0555);
    Environment environment;
    environment.set("XDG_STATE_HOME", (dir / "state").string());
    const Refusal refusal = refusalOf(dir / "bin");
    EXPECT_EQ(refusal.kind, FileError::StateFolderUncreatable);
    EXPECT_EQ(refusal.cause, describeSystemError(EACCES));
    ::chmod((dir / "state").c_str(), 0755);
}

#endif

}  // namespace
}  // namespace tht
