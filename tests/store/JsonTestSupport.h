// Helpers of the JSON exchange tests: a private temporary folder, whole-file
// reads and writes, and paths in the form the store takes them.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "ProjectManager.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace jsontest {

namespace fs = std::filesystem;

// The store's UTF-16 text for a path, and back.
inline WString StorePath(const fs::path& path) {
#ifdef _WIN32
    return path.wstring();
#else
    return ProjectManager::StringToWString(path.string());
#endif
}

inline fs::path FsPath(const WString& storePath) {
#ifdef _WIN32
    return fs::path(storePath);
#else
    return fs::path(ProjectManager::WStringToString(storePath));
#endif
}

// A folder of this process alone, removed with everything in it.
class TempFolder {
public:
    TempFolder() {
#ifdef _WIN32
        unsigned long pid = GetCurrentProcessId();
#else
        unsigned long pid = static_cast<unsigned long>(getpid());
#endif
        static int serial = 0;
        for (;;) {
            root = fs::temp_directory_path() /
                   ("tilvo-json-" + std::to_string(pid) + "-" + std::to_string(serial++));
            std::error_code ec;
            if (fs::create_directory(root, ec)) break;
            if (ec) ADD_FAILURE() << "cannot create " << root.string() << ": " << ec.message();
            if (ec) break;
        }
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    fs::path Path(const std::string& name) const { return root / name; }
    WString File(const std::string& name) const { return StorePath(root / name); }

    // UTF-8 names of everything in the folder, sorted.
    std::vector<std::string> Listing() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(root)) names.push_back(entry.path().filename().u8string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path root;
};

inline std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path.string();
}

inline std::string ReadBytes(const WString& storePath) { return ReadBytes(FsPath(storePath)); }
inline void WriteBytes(const WString& storePath, const std::string& bytes) {
    WriteBytes(FsPath(storePath), bytes);
}

}  // namespace jsontest
