#pragma once
// The one exception type of the product. Each layer has its own closed list
// of kinds, for the rules it owns (files here, tables in the store, values of
// TUXA files in the export, the settings file in the core), and tells in one
// function `describe(Kind, context)` beside that list how a kind and its
// context read to the user, from the texts of the message catalogue. Tests
// check the kind and the context; the message where the text is the system's own.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <typeindex>

namespace tht {

struct ErrorContext {
    std::string file{};  // a file's path, for file errors
    std::string table{}; // a table's path or name, for table errors
    std::int64_t line = 0;     // 1-based line of a text file, 0 when none
    std::int64_t record = 0;   // 1-based record of a table, 0 when none
    std::string field{};
    std::string value{};
    std::string cause{}; // what the operating system or the format check said
};

class Error : public std::runtime_error {
public:
    template <class Kind>
        requires std::is_enum_v<Kind>
    Error(Kind kind, ErrorContext context)
        : std::runtime_error(describe(kind, context)),
          kindType_(typeid(Kind)),
          kind_(static_cast<int>(kind)),
          context_(std::move(context)) {}

    template <class Kind>
    bool is(Kind kind) const noexcept {
        return kindType_ == std::type_index(typeid(Kind)) && kind_ == static_cast<int>(kind);
    }
    // The kind, when it is one of this list.
    template <class Kind>
    std::optional<Kind> kindOf() const noexcept {
        if (kindType_ != std::type_index(typeid(Kind))) return std::nullopt;
        return static_cast<Kind>(kind_);
    }
    const ErrorContext& context() const noexcept { return context_; }

private:
    std::type_index kindType_;
    int kind_;
    ErrorContext context_;
};

// Files and folders as the operating system sees them.
enum class FileError {
    Unreadable,       // file, cause: an input that exists but cannot be read
    Unwritable,       // file, cause: an output that cannot be created, written or replaced
    CodePageUnknown,  // value: the name of the converter
    DataFolderUnknown,  // nothing tells where Horalina's data folder is
    FolderUnreadable,   // file, cause: a folder that exists but cannot be listed
    StateFolderUnknown,      // nothing tells where the user's state folder is
    StateFolderUncreatable,  // file, cause: the state folder, which cannot be made
};
std::string describe(FileError kind, const ErrorContext& c);

// The text of the operating system's error number, in Spanish; an error we
// have no words for is named by its number, never by the system's English text.
std::string describeSystemError(int errnum);

// The cause given for a path that names something other than a file or a
// folder (a FIFO, a device, a socket): reading it may never end, replacing it
// would break what it is.
std::string notRegularFileCause();

}  // namespace tht
